// PNG files for the tools (the desktop icons, the contact sheet), written
// through libpng. The game itself never writes a picture file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

#include "raster/raster.h"

namespace vorlax {

// Writes `image` as an 8-bit RGB PNG file or, given `alpha` (one opacity per
// pixel, row by row: 0 transparent, 255 opaque), as RGBA. Throws
// std::runtime_error saying why when the file cannot be written, and
// std::invalid_argument for an empty picture or an alpha of the wrong size.
void WritePng(const std::filesystem::path& file, const Surface& image,
              std::span<const std::uint8_t> alpha = {});

}  // namespace vorlax
