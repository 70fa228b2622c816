// Placeholder: replaced by the exact implementation.
#include "graphics/raster.h"

namespace vorlax {

Surface::Surface(int width, int height, Colour fill)
    : width_(width < 0 ? 0 : width),
      height_(height < 0 ? 0 : height),
      pixels_(static_cast<std::size_t>(width_) * height_, static_cast<std::uint32_t>(fill)) {}

Colour Surface::Pixel(int x, int y) const {
    return Contains(x, y) ? static_cast<Colour>(Row(y)[x]) : kInvalidColour;
}
void Surface::SetPixel(int x, int y, Colour c) {
    if (Contains(x, y)) Row(y)[x] = static_cast<std::uint32_t>(c) & 0xFFFFFFu;
}
void Surface::Fill(Colour c) {
    std::fill(pixels_.begin(), pixels_.end(), static_cast<std::uint32_t>(c) & 0xFFFFFFu);
}
void Surface::Resize(int width, int height, Colour fill) { *this = Surface(width, height, fill); }

bool BitBlt(Surface&, int, int, int, int, const Surface*, int, int, std::uint32_t) { return false; }
void FillBlack(Surface&, int, int, int, int) {}
void Ellipse(Surface&, int, int, int, int, Colour, Colour, FillStyle) {}
void DrawLine(Surface&, int, int, int, int, Colour) {}

}  // namespace vorlax
