// The software raster: 32-bit pixel surfaces and the drawing operations the
// game uses, each producing exactly the pixels the Windows GDI produces for
// the same call (block transfers with SRCCOPY/SRCAND/SRCPAINT/BLACKNESS,
// ellipses with a one-pixel pen, one-pixel lines). Plain C++: no windows, no
// SDL, no game knowledge, so tools and benchmarks can use it too.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "core/types.h"

namespace vorlax {

// Colour value returned for a pixel read outside a surface.
inline constexpr Colour kInvalidColour = -1;

struct PixelRect {
    int x = 0, y = 0, width = 0, height = 0;
    int Right() const { return x + width; }  // exclusive
    int Bottom() const { return y + height; }
    bool Empty() const { return width <= 0 || height <= 0; }
    bool operator==(const PixelRect&) const = default;
};

inline PixelRect Intersect(const PixelRect& a, const PixelRect& b) {
    const int x0 = std::max(a.x, b.x), y0 = std::max(a.y, b.y);
    const int x1 = std::min(a.Right(), b.Right()), y1 = std::min(a.Bottom(), b.Bottom());
    if (x1 <= x0 || y1 <= y0) return {};
    return {x0, y0, x1 - x0, y1 - y0};
}

// The smallest rectangle holding both.
inline PixelRect Around(const PixelRect& a, const PixelRect& b) {
    const int x0 = std::min(a.x, b.x), y0 = std::min(a.y, b.y);
    return {x0, y0, std::max(a.Right(), b.Right()) - x0, std::max(a.Bottom(), b.Bottom()) - y0};
}

// Memory for pixels. A window's picture (2 MB at 785 x 617) is taken in the
// processor's large 2 MB pages where the system allows them: each frame
// reads and writes a few hundred short rows scattered over the picture, and
// with ordinary 4 KB pages nearly every one of them needs its own address
// translation, which after the game's sleep between two frames must be
// looked up again in memory. Smaller blocks come from the ordinary heap.
struct LargePages {
    static void* Allocate(std::size_t bytes);
    static void Free(void* memory, std::size_t bytes) noexcept;
};
template <class T>
struct PixelAllocator {
    using value_type = T;
    PixelAllocator() = default;
    template <class U>
    PixelAllocator(const PixelAllocator<U>&) noexcept {}
    T* allocate(std::size_t n) { return static_cast<T*>(LargePages::Allocate(n * sizeof(T))); }
    void deallocate(T* p, std::size_t n) noexcept { LargePages::Free(p, n * sizeof(T)); }
    template <class U>
    bool operator==(const PixelAllocator<U>&) const noexcept {
        return true;
    }
};
using PixelVector = std::vector<std::uint32_t, PixelAllocator<std::uint32_t>>;

// What is known of a surface's pixels: since it was last filled whole with
// `fill`, it was written in `areas` and nowhere else. A fill then need only
// cover those again, and a window only show what changed.
struct WrittenAreas {
    // A new number for each fill, and for each surface made, copied or moved
    // into: the same number means the same pixels, plus any areas since.
    std::uint64_t generation = 0;
    bool known = false;  // false: written anywhere since anything
    std::uint32_t fill = 0;
    std::vector<PixelRect> areas;  // on the surface, in order, possibly overlapping
};

// A width x height block of pixels, row-major, top row first. Each pixel holds
// its Colour value (red + 256 * green + 65536 * blue) in the low 24 bits and 0
// in the top byte, so a pixel reads back as the game's Colour.
class Surface {
  public:
    Surface();
    Surface(int width, int height, Colour fill = 0);
    // A copy has the same pixels but a history of its own.
    Surface(const Surface& other);
    Surface(Surface&& other) noexcept;
    Surface& operator=(const Surface& other);
    Surface& operator=(Surface&& other) noexcept;

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

    // The colour at (x, y), or kInvalidColour outside the surface.
    Colour Pixel(int x, int y) const;
    // Sets one pixel; outside the surface nothing happens.
    void SetPixel(int x, int y, Colour c);
    void Fill(Colour c);
    // New size; every pixel becomes `fill`.
    void Resize(int width, int height, Colour fill = 0);

    std::uint32_t* Row(int y) { return pixels_.data() + static_cast<std::size_t>(y) * width_; }
    const std::uint32_t* Row(int y) const {
        return pixels_.data() + static_cast<std::size_t>(y) * width_;
    }
    std::uint32_t* Data() { return pixels_.data(); }
    const std::uint32_t* Data() const { return pixels_.data(); }

    // The raster's operations record what they write; whoever writes through
    // Row() or Data() must record it here. Areas are kept up to a limit,
    // past which the surface counts as written anywhere until its next fill.
    void Wrote(PixelRect area);
    const WrittenAreas& Written() const { return written_; }

    // Equal sizes and pixels.
    bool operator==(const Surface& other) const;

  private:
    int width_ = 0;
    int height_ = 0;
    PixelVector pixels_;
    WrittenAreas written_;
};

// Raster operations of BitBlt.
inline constexpr std::uint32_t SRCCOPY = 0x00CC0020;    // destination = source
inline constexpr std::uint32_t SRCAND = 0x008800C6;     // destination AND source
inline constexpr std::uint32_t SRCPAINT = 0x00EE0086;   // destination OR source
inline constexpr std::uint32_t BLACKNESS = 0x00000042;  // destination = black, no source

// Combines the w x h rectangle at (sx, sy) of `src` into the rectangle at
// (x, y) of `dst` by `rop`. A destination pixel changes only where it lies on
// `dst` and its source pixel lies on `src` (BLACKNESS takes no source; pass
// nullptr). Returns false, changing nothing, for an unknown operation or a
// missing source; true otherwise, also when nothing was inside.
bool BitBlt(Surface& dst, int x, int y, int w, int h, const Surface* src, int sx, int sy,
            std::uint32_t rop);

// Sets the w x h rectangle at (x, y) to black, clipped to the surface.
void FillBlack(Surface& dst, int x, int y, int w, int h);

enum class FillStyle { Solid = 0, Transparent = 1 };

// The ellipse inscribed in the box left..right-1, top..bottom-1 (right and
// bottom exclusive, reversed coordinates allowed): a one-pixel outline in
// `pen`, the inside filled with `fill` when `style` is Solid and left as it
// was when Transparent. Pixels off the surface are dropped. Boxes more than
// 524288 pixels wide or high draw nothing.
void Ellipse(Surface& dst, int left, int top, int right, int bottom, Colour pen, Colour fill,
             FillStyle style);

// A one-pixel line from (x1, y1) to (x2, y2) in `pen`: the start point is
// painted, the end point is not. Pixels off the surface are dropped.
void DrawLine(Surface& dst, int x1, int y1, int x2, int y2, Colour pen);

}  // namespace vorlax
