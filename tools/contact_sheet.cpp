// Contact sheet of the game's artwork, for reviewing the sprites the way the
// game shows them: every bitmap is loaded with LoadSpriteDC and drawn with
// DrawMasked over the play field's background. The sheet shows all sprites at
// 1:1 with the four key pictures, the ship and the enemies again three times
// enlarged, and the energy carrier with the ship docked in its bay.
//
//   contact_sheet ASSET_FOLDER OUTPUT.png
#include <cstdint>
#include <cstdio>
#include <exception>
#include <fstream>
#include <string>
#include <vector>

#include "art/artwork.h"
#include "graphics/sprites.h"
#include "png_file.h"
#include "raster/raster.h"
#include "scores/key_pictures.h"

namespace {

using vorlax::Colour;
using vorlax::Surface;
using vorlax::SurfaceHandle;

constexpr Colour kBackground = vorlax::RGB(1, 0, 1);

struct Sprite {
    SurfaceHandle picture = 0;
    SurfaceHandle mask = 0;
    int width = 0;
    int height = 0;
};

Sprite Load(const std::string& folder, const std::string& picture, const std::string& mask, int w,
            int h) {
    return {vorlax::LoadSpriteDC(folder + "/" + picture, w, h),
            vorlax::LoadSpriteDC(folder + "/" + mask, w, h), w, h};
}

void Draw(Surface& dst, const Sprite& s, int x, int y) {
    vorlax::DrawMasked(dst, x, y, s.width, s.height, s.picture, s.mask);
}

// A sprite drawn over the background and scaled up by `zoom`, nearest pixel.
void DrawZoomed(Surface& dst, const Sprite& s, int x, int y, int zoom) {
    Surface tile(s.width, s.height, kBackground);
    Draw(tile, s, 0, 0);
    for (int ty = 0; ty < s.height; ++ty)
        for (int tx = 0; tx < s.width; ++tx)
            for (int k = 0; k < zoom * zoom; ++k)
                dst.SetPixel(x + tx * zoom + k % zoom, y + ty * zoom + k / zoom,
                             tile.Pixel(tx, ty));
}

// A few fixed stars, so the sprites are seen over a star field as in play.
void Stars(Surface& dst) {
    std::uint32_t state = 12345;
    for (int i = 0; i < 260; ++i) {
        state = state * 1103515245u + 12345u;
        const int x = static_cast<int>((state >> 8) % static_cast<std::uint32_t>(dst.Width()));
        state = state * 1103515245u + 12345u;
        const int y = static_cast<int>((state >> 8) % static_cast<std::uint32_t>(dst.Height()));
        const int v = 90 + static_cast<int>(state % 120);
        dst.SetPixel(x, y, vorlax::RGB(v, v, v));
    }
}

// A thin grey underline under a group of sprites.
void Rule(Surface& dst, int x0, int x1, int y) {
    for (int x = x0; x <= x1; ++x) dst.SetPixel(x, y, vorlax::RGB(60, 56, 72));
}

std::vector<std::uint8_t> EncodeBmp(const Surface& s) {
    vorlax::art::Image img(s.Width(), s.Height());
    for (int y = 0; y < s.Height(); ++y)
        for (int x = 0; x < s.Width(); ++x) {
            const Colour c = s.Pixel(x, y);
            img.At(x, y) = static_cast<std::uint32_t>(vorlax::RedOf(c) << 16 |
                                                      vorlax::GreenOf(c) << 8 | vorlax::BlueOf(c));
        }
    return vorlax::art::EncodeBmp24(img);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s ASSET_FOLDER OUTPUT.png|OUTPUT.bmp\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    const std::string output = argv[2];
    namespace art = vorlax::art;
    try {
        const Sprite ship = Load(folder, vorlax::kShipFile, vorlax::kShipMaskFile,
                                 vorlax::kShipWidth, vorlax::kShipHeight);
        const Sprite carrier = Load(folder, vorlax::kCarrierFile, vorlax::kCarrierMaskFile,
                                    vorlax::kCarrierWidth, vorlax::kCarrierHeight);
        std::vector<Sprite> enemies;
        for (int n = 1; n <= vorlax::kEnemyTypes; ++n) {
            enemies.push_back(Load(folder, vorlax::EnemyShipFile(n), vorlax::EnemyMaskFile(n),
                                   vorlax::kEnemyWidths[n], vorlax::kEnemyHeights[n]));
        }
        std::vector<SurfaceHandle> keys;
        for (const char* name : vorlax::kKeyPictureFiles)
            keys.push_back(vorlax::LoadSpriteDC(folder + "/" + name, vorlax::kKeyPictureSize,
                                                vorlax::kKeyPictureSize));

        const int margin = 16, gap = 14, zoom = 3;
        const int width = vorlax::kCarrierWidth + 2 * margin;
        const int rowOne = margin;  // everything at 1:1
        const int rowZoomA = rowOne + 56 + 2 * margin;
        const int rowZoomB = rowZoomA + 32 * zoom + margin;
        const int rowCarrier = rowZoomB + 56 * zoom + 2 * margin;
        const int height = rowCarrier + vorlax::kCarrierHeight + margin;
        Surface sheet(width, height, kBackground);
        Stars(sheet);

        // 1:1: the ship, the eleven enemies, then the key pictures.
        std::vector<const Sprite*> all = {&ship};
        for (const Sprite& e : enemies) all.push_back(&e);
        int x = margin;
        for (const Sprite* s : all) {
            Draw(sheet, *s, x, rowOne + (56 - s->height) / 2);
            x += s->width + gap;
        }
        Rule(sheet, margin, x - gap, rowOne + 56 + 6);
        x += 2 * gap;
        for (SurfaceHandle k : keys) {
            vorlax::BitBlt(sheet, x, rowOne + 12, 32, 32, vorlax::SurfaceOf(k), 0, 0,
                           vorlax::SRCCOPY);
            x += 32 + gap;
        }

        // Three times enlarged, in two rows.
        x = margin;
        for (std::size_t i = 0; i < all.size(); ++i) {
            const int row = i < 6 ? rowZoomA : rowZoomB;
            if (i == 6) x = margin;
            DrawZoomed(sheet, *all[i], x, row, zoom);
            x += all[i]->width * zoom + gap;
        }

        // The carrier with the ship docked in its bay: the ship first, so it
        // shows through the open bay, as in the game.
        Draw(sheet, ship, margin + 610, rowCarrier + 165);
        Draw(sheet, carrier, margin, rowCarrier);

        // The raster may not draw yet in an unfinished build; say so rather
        // than hand over a sheet without sprites.
        const Surface* shipPicture = vorlax::SurfaceOf(ship.picture);
        const Surface* shipMask = vorlax::SurfaceOf(ship.mask);
        bool drawn = true;
        for (int y = 0; y < ship.height; ++y)
            for (int xx = 0; xx < ship.width; ++xx)
                if (shipMask->Pixel(xx, y) == 0 &&
                    sheet.Pixel(margin + xx, rowOne + 12 + y) != shipPicture->Pixel(xx, y))
                    drawn = false;
        if (!drawn)
            std::fprintf(stderr, "contact_sheet: warning: sprites did not draw (raster BitBlt?)\n");

        const bool png = output.size() >= 4 && output.substr(output.size() - 4) == ".png";
        if (png) {
            vorlax::WritePng(output, sheet);
        } else {
            const std::vector<std::uint8_t> bytes = EncodeBmp(sheet);
            std::ofstream out(output, std::ios::binary | std::ios::trunc);
            out.write(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<std::streamsize>(bytes.size()));
            if (!out) {
                std::fprintf(stderr, "contact_sheet: cannot write %s\n", output.c_str());
                return 1;
            }
        }
        std::printf("%s: %d x %d\n", output.c_str(), width, height);
        return drawn ? 0 : 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "contact_sheet: %s\n", e.what());
        return 1;
    }
}
