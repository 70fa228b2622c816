#include "art/icons.h"

#include <algorithm>
#include <cmath>

namespace vorlax::art {
namespace {

bool Solid(const Surface& mask, int x, int y) {
    return mask.Pixel(x, y) == 0;
}

// Each canvas pixel averages the ship over kSamples x kSamples points of its
// area: colour over the points on the ship, opacity from how many are.
constexpr int kSamples = 8;

void Shrink(const Surface& ship, const Surface& mask, int size, Icon& icon) {
    const double scale = static_cast<double>(size) / std::max(ship.Width(), ship.Height());
    const int w = std::max(1, static_cast<int>(std::lround(ship.Width() * scale)));
    const int h = std::max(1, static_cast<int>(std::lround(ship.Height() * scale)));
    const int left = (size - w) / 2, top = (size - h) / 2;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            int hits = 0, r = 0, g = 0, b = 0;
            for (int sy = 0; sy < kSamples; ++sy) {
                for (int sx = 0; sx < kSamples; ++sx) {
                    const int px = static_cast<int>((x + (sx + 0.5) / kSamples) * ship.Width() / w);
                    const int py =
                        static_cast<int>((y + (sy + 0.5) / kSamples) * ship.Height() / h);
                    if (!Solid(mask, px, py)) continue;
                    const Colour c = ship.Pixel(px, py);
                    ++hits;
                    r += RedOf(c);
                    g += GreenOf(c);
                    b += BlueOf(c);
                }
            }
            if (hits == 0) continue;
            icon.pixels.SetPixel(left + x, top + y, RGB(r / hits, g / hits, b / hits));
            icon.alpha[static_cast<std::size_t>((top + y) * size + left + x)] =
                static_cast<std::uint8_t>((255 * hits + kSamples * kSamples / 2) /
                                          (kSamples * kSamples));
        }
    }
}

void Enlarge(const Surface& ship, const Surface& mask, int size, int n, Icon& icon) {
    const int left = (size - ship.Width() * n) / 2, top = (size - ship.Height() * n) / 2;
    for (int y = 0; y < ship.Height() * n; ++y) {
        for (int x = 0; x < ship.Width() * n; ++x) {
            if (!Solid(mask, x / n, y / n)) continue;
            icon.pixels.SetPixel(left + x, top + y, ship.Pixel(x / n, y / n));
            icon.alpha[static_cast<std::size_t>((top + y) * size + left + x)] = 255;
        }
    }
}

}  // namespace

Icon ShipIcon(const Surface& ship, const Surface& mask, int size) {
    Icon icon{Surface(size, size, 0),
              std::vector<std::uint8_t>(static_cast<std::size_t>(size) * size, 0)};
    if (ship.Width() <= 0 || ship.Height() <= 0 || size <= 0) return icon;
    const int n = size / std::max(ship.Width(), ship.Height());
    if (n >= 1)
        Enlarge(ship, mask, size, n, icon);
    else
        Shrink(ship, mask, size, icon);
    return icon;
}

}  // namespace vorlax::art
