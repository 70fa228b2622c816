// Picture files for the tools and the tests: PNG out (the artwork's contact
// sheet, the README's screenshots) and X window dumps in (what `xwd` writes,
// which is how screenshots of the real game under Xvfb come back). Plain C++:
// no SDL, no zlib.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "raster/raster.h"

namespace vorlax {

// The whole PNG file of `image`: 8-bit RGB, no interlace, one IDAT chunk.
// Each row gets the PNG filter that suits it best and the rows are deflated
// with LZ77 and the fixed Huffman codes: the game's pictures are mostly flat
// colour, and long runs come down to a few bits each even without tailored
// codes. Throws std::invalid_argument for an empty surface, which PNG cannot
// hold.
std::vector<std::uint8_t> EncodePng(const Surface& image);
// The same as 8-bit RGBA: `alpha` holds one opacity per pixel, row by row
// (0 transparent, 255 opaque), as icons need. Throws std::invalid_argument
// when its size is not the picture's.
std::vector<std::uint8_t> EncodePng(const Surface& image, std::span<const std::uint8_t> alpha);

// Decodes an X window dump as written by xwd: a Z-pixmap of 24 or 32 bits
// per pixel on a true-colour (or direct-colour) visual, the pixels in either
// byte order, each channel taken by its mask and scaled to 8 bits. The header
// may be in either byte order too. Throws std::runtime_error saying what is
// wrong with anything else; never reads past `bytes`.
Surface DecodeXwd(std::span<const std::uint8_t> bytes);
// The same for a dump held in a string, as a program's captured output is.
Surface DecodeXwd(std::string_view bytes);

}  // namespace vorlax
