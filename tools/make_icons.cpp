// Writes the game's desktop icon, made from its own ship, at every size of the
// hicolor theme:   make_icons ASSET_FOLDER OUTPUT_FOLDER NAME
// makes OUTPUT_FOLDER/hicolor/<n>x<n>/apps/NAME.png (the build runs it; the
// files are installed into share/icons).
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

#include "art/icons.h"
#include "core/game_state.h"
#include "graphics/sprites.h"
#include "png_file.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s ASSET_FOLDER OUTPUT_FOLDER NAME\n", argv[0]);
        return 2;
    }
    namespace fs = std::filesystem;
    try {
        const std::string assets = argv[1];
        vorlax::SurfaceHandle ship =
            vorlax::LoadSpriteDC(assets + "/Ship.bmp", vorlax::kShipWidth, vorlax::kShipHeight);
        vorlax::SurfaceHandle mask =
            vorlax::LoadSpriteDC(assets + "/Shipmask.bmp", vorlax::kShipWidth, vorlax::kShipHeight);
        for (const int size : vorlax::art::kIconSizes) {
            const vorlax::art::Icon icon =
                vorlax::art::ShipIcon(*vorlax::SurfaceOf(ship), *vorlax::SurfaceOf(mask), size);
            const std::string dims = std::to_string(size) + "x" + std::to_string(size);
            const fs::path folder = fs::path(argv[2]) / "hicolor" / dims / "apps";
            fs::create_directories(folder);
            vorlax::WritePng(folder / (std::string(argv[3]) + ".png"), icon.pixels, icon.alpha);
        }
        vorlax::FreeSpriteDC(ship);
        vorlax::FreeSpriteDC(mask);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make_icons: %s\n", e.what());
        return 1;
    }
    return 0;
}
