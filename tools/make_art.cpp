// Writes the game's artwork (sprites, masks, key pictures and the delivered
// high-score table) into the folder given as the only argument, normally the
// repository's assets/ folder:   make_art assets
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "art/artwork.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) {
        std::fprintf(stderr, "make_art: cannot create %s: %s\n", folder.c_str(),
                     ec.message().c_str());
        return 1;
    }
    for (const auto& file : vorlax::art::MakeArtwork()) {
        const std::filesystem::path path = folder / file.name;
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(file.bytes.data()),
                  static_cast<std::streamsize>(file.bytes.size()));
        out.close();
        if (!out) {
            std::fprintf(stderr, "make_art: cannot write %s\n", path.c_str());
            return 1;
        }
        std::printf("%s (%zu bytes)\n", path.c_str(), file.bytes.size());
    }
    return 0;
}
