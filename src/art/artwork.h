// The game's artwork, drawn by code: the player ship, the eleven enemy types,
// the energy carrier (each as a picture and its mask), the four arrow-key
// pictures of the help window and the high-score table delivered with the
// game. The tool make_art writes these files into assets/; the tests compare
// the committed files with a fresh run, so the art is always reproducible.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

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

// Size of a sprite in pixels.
struct SpriteSize {
    int width;
    int height;
};

// The sprite sizes the game draws with.
inline constexpr SpriteSize kShipSize{47, 32};
inline constexpr SpriteSize kCarrierSize{1313, 214};
inline constexpr int kEnemyTypes = 11;
inline constexpr SpriteSize kEnemySizes[kEnemyTypes] = {{53, 32}, {38, 32}, {107, 32}, {41, 32},
                                                        {84, 32}, {54, 32}, {45, 32},  {51, 32},
                                                        {17, 15}, {55, 56}, {57, 48}};

// The carrier's docking bay: columns and rows (inclusive) that stay open in
// the carrier's picture and mask so a docked ship shows through.
inline constexpr int kBayLeft = 587;
inline constexpr int kBayRight = 681;
inline constexpr int kBayTop = 150;
inline constexpr int kBayBottom = 213;

// File names of the sprite pictures and masks.
std::string EnemyPictureName(int type);  // "Enemy Ship n.bmp"
std::string EnemyMaskName(int type);     // "Enemy Mask n.bmp"

// An uncompressed 24-bit bottom-up BMP file (BITMAPINFOHEADER) of `image`.
std::vector<std::uint8_t> EncodeBmp24(const Image& image);

// Every file of the artwork, in a fixed order: Ship.bmp, Shipmask.bmp,
// FuelShip.bmp, Fuelmask.bmp, the enemy pictures and masks of types 1 .. 11,
// the four key pictures and Hiscore.txt. Deterministic: two calls return the
// same bytes.
std::vector<ArtFile> MakeArtwork();

}  // namespace vorlax::art
