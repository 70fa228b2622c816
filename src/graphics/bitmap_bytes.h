// Bitmaps that travel inside the executable rather than beside it.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "raster/raster.h"

namespace vorlax {

// Decodes the bytes of a bitmap file into a surface of Colour pixels, as a
// sprite file is loaded. Throws GameError kErrBitmapLoad, naming `what`, when
// the bytes are not a readable bitmap.
Surface DecodeBitmap(std::span<const std::uint8_t> bytes, const std::string& what);

}  // namespace vorlax
