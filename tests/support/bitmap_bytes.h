// Bitmap files made byte by byte, for tests of the reader: every header form
// and pixel format it supports, and the broken ones it must refuse.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/types.h"

namespace vorlax::testing {

struct BitmapLayout {
    int width = 1;
    int height = 1;
    int bits = 24;
    std::uint32_t compression = 0;  // 0 none, 3 colour masks
    std::uint32_t headerBytes = 40;
    bool topDown = false;
    std::vector<Colour> palette = {};  // written as it is, for any bit depth
    std::uint32_t coloursUsed = 0;     // the header's count of palette colours
    std::array<std::uint32_t, 3> masks{0x00FF0000u, 0x0000FF00u, 0x000000FFu};
};

// The bytes of a bitmap file. `pixel(x, y)` gives each pixel, top row first:
// a palette index at 1, 4 and 8 bits, a Colour at 24 and 32 bits.
std::string MakeBitmap(const BitmapLayout& layout,
                       const std::function<std::uint32_t(int x, int y)>& pixel);

// A plain 24-bit bitmap of one colour.
std::string Bitmap24(int width, int height, Colour colour);

// Writes `value` as `bytes` little-endian bytes at `at` (for damaging a file).
void Poke(std::string& file, std::size_t at, std::uint32_t value, int bytes = 4);

}  // namespace vorlax::testing
