// The game's icon for the desktop, made from the player's own ship: its
// picture where its mask is black, transparent around it, centred on a
// square canvas. Where a whole number of canvas pixels fit each ship pixel
// the ship is enlarged by that number (crisp pixel art); smaller icons shrink
// it by averaging, so the ship's shape still reads at 16 pixels.
#pragma once

#include <cstdint>
#include <vector>

#include "raster/raster.h"

namespace vorlax::art {

// The sizes of the hicolor icon theme the game installs into.
inline constexpr int kIconSizes[] = {16, 24, 32, 48, 64, 128, 256};

struct Icon {
    Surface pixels;                   // size x size
    std::vector<std::uint8_t> alpha;  // one opacity per pixel, row by row
};

// `ship` and `mask` of the same size: a pixel belongs to the ship where the
// mask is black.
Icon ShipIcon(const Surface& ship, const Surface& mask, int size);

}  // namespace vorlax::art
