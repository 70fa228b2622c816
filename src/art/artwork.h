// The game's artwork, drawn by code: the player ship, the eleven enemy types,
// the energy carrier (each as a picture and its mask), the four arrow-key
// pictures of the help window and the high-score table delivered with the
// game. The tool make_art writes these files into assets/; the tests compare
// the committed files with a fresh run, so the art is always reproducible.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/game_files.h"

namespace vorlax::art {

// One finished file: its name inside the game's folder and its exact bytes.
struct ArtFile {
    std::string name;
    std::vector<std::uint8_t> bytes;
};

// A plain 24-bit image, row-major, top row first, 0xRRGGBB per pixel.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    Image() = default;
    Image(int w, int h, std::uint32_t fill = 0)
        : width(w), height(h), pixels(static_cast<std::size_t>(w) * h, fill) {}
    std::uint32_t& At(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
    std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// An uncompressed 24-bit bottom-up BMP file (BITMAPINFOHEADER) of `image`.
std::vector<std::uint8_t> EncodeBmp24(const Image& image);

// Every file of the artwork, in a fixed order: Ship.bmp, Shipmask.bmp,
// FuelShip.bmp, Fuelmask.bmp, the enemy pictures and masks of types 1 .. 11,
// the four key pictures and Hiscore.txt. Deterministic: two calls return the
// same bytes.
std::vector<ArtFile> MakeArtwork();

}  // namespace vorlax::art
