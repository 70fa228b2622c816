// The software raster. Every operation clips once and then works on whole
// rows, because the frame loop redraws the full window every frame: a clear,
// a hundred star dots, masked sprites up to the 1313 x 214 carrier, and a few
// dozen ellipses.
//
// The pixel rules (which pixels an ellipse or a line covers) follow the
// Windows GDI exactly, as recorded in the reference dumps under
// tests/data/gdi-reference: the game's look depends on them, e.g. a radius-1
// explosion disc is a 2 x 2 block and a 3 x 3 star is a plus sign.
#include "raster/raster.h"

#include <sys/mman.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <new>
#include <utility>

namespace vorlax {

namespace {

using Int64 = std::int64_t;

constexpr std::uint32_t kColourMask = 0xFFFFFFu;

std::uint32_t PixelValue(Colour c) {
    return static_cast<std::uint32_t>(c) & kColourMask;
}

// Four pixels at a time. The builds use -O2, which leaves plain pixel loops
// at one pixel per instruction; spelt out as 16-byte vectors the row loops
// run several times faster on any x86-64 (SSE2) or ARM64 machine.
using Pixels4 = std::uint32_t __attribute__((vector_size(16)));

// The C library fills 32-bit units fastest (twice as fast as a loop of
// vectors over a whole frame): wchar_t is one on every system we build for.
static_assert(sizeof(wchar_t) == sizeof(std::uint32_t));
void FillPixels(std::uint32_t* p, std::size_t n, std::uint32_t value) {
    std::wmemset(reinterpret_cast<wchar_t*>(p), static_cast<wchar_t>(value), n);
}

// d[i] = op(d[i], s[i]) for n pixels; `op` works on single pixels and on
// vectors of them alike.
template <typename Op>
inline void CombinePixels(std::uint32_t* __restrict d, const std::uint32_t* __restrict s,
                          std::size_t n, Op op) {
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        Pixels4 a0, a1, b0, b1;
        std::memcpy(&a0, d + i, sizeof a0);
        std::memcpy(&a1, d + i + 4, sizeof a1);
        std::memcpy(&b0, s + i, sizeof b0);
        std::memcpy(&b1, s + i + 4, sizeof b1);
        a0 = op(a0, b0);
        a1 = op(a1, b1);
        std::memcpy(d + i, &a0, sizeof a0);
        std::memcpy(d + i + 4, &a1, sizeof a1);
    }
    for (; i < n; ++i) d[i] = op(d[i], s[i]);
}

// A rectangle [x0, x1) x [y0, y1) in surface coordinates, already clipped.
struct Span2D {
    int x0, y0, x1, y1;
    bool Empty() const { return x0 >= x1 || y0 >= y1; }
};

// Intersects [x, x + w) x [y, y + h) with the surface. 64-bit on the way in,
// so extreme coordinates cannot overflow.
Span2D ClipToSurface(const Surface& s, Int64 x, Int64 y, Int64 w, Int64 h) {
    const Int64 x0 = std::max<Int64>(x, 0);
    const Int64 y0 = std::max<Int64>(y, 0);
    const Int64 x1 = std::min<Int64>(x + w, s.Width());
    const Int64 y1 = std::min<Int64>(y + h, s.Height());
    if (x0 >= x1 || y0 >= y1) return {0, 0, 0, 0};
    return {static_cast<int>(x0), static_cast<int>(y0), static_cast<int>(x1), static_cast<int>(y1)};
}

void FillClipped(Surface& dst, const Span2D& r, std::uint32_t value) {
    // The whole surface: a fill, which need only clear what was drawn since
    // the last one (the collision picture is cleared so every frame).
    if (r.x0 == 0 && r.y0 == 0 && r.x1 == dst.Width() && r.y1 == dst.Height()) {
        dst.Fill(static_cast<Colour>(value));
        return;
    }
    dst.Wrote({r.x0, r.y0, r.x1 - r.x0, r.y1 - r.y0});
    const auto count = static_cast<std::size_t>(r.x1 - r.x0);
    for (int y = r.y0; y < r.y1; ++y) FillPixels(dst.Row(y) + r.x0, count, value);
}

// Paints columns x0..x1 (both inclusive) of a surface row `width` pixels
// wide, dropping what lies off the surface.
inline void PaintSpan(std::uint32_t* row, int width, Int64 x0, Int64 x1, std::uint32_t value) {
    if (x0 < 0) x0 = 0;
    if (x1 >= width) x1 = width - 1;
    if (x0 > x1) return;
    FillPixels(row + x0, static_cast<std::size_t>(x1 - x0 + 1), value);
}

// The largest box side an ellipse may have. The error terms of the outline
// walk grow with the cube of the box size; up to this side they stay well
// inside 64 bits. Far beyond anything a window shows.
constexpr Int64 kMaxEllipseSide = Int64{1} << 19;

// Draws one row of the ellipse: `y` is the row relative to the box top, and
// the outline covers box columns [xIn, xOut] on the right half and their
// mirror images on the left half. With a fill, the columns strictly between
// the two outline runs are filled.
struct EllipseRows {
    Surface& dst;
    Int64 left, top, width;
    std::uint32_t pen, fill;
    bool solid;

    void Row(Int64 y, Int64 xIn, Int64 xOut) const {
        const Int64 sy = top + y;
        if (sy < 0 || sy >= dst.Height()) return;
        std::uint32_t* row = dst.Row(static_cast<int>(sy));
        const int w = dst.Width();
        const Int64 mirrorIn = width - 1 - xIn;
        const Int64 mirrorOut = width - 1 - xOut;
        if (solid && mirrorIn + 1 <= xIn - 1)
            PaintSpan(row, w, left + mirrorIn + 1, left + xIn - 1, fill);
        PaintSpan(row, w, left + xIn, left + xOut, pen);
        PaintSpan(row, w, left + mirrorOut, left + mirrorIn, pen);
    }

    // Row `y` of the lower half and its mirror image in the upper half.
    void RowPair(Int64 height, Int64 y, Int64 xIn, Int64 xOut) const {
        Row(y, xIn, xOut);
        if (height - 1 - y != y) Row(height - 1 - y, xIn, xOut);
    }
};

// The outline of a width x height ellipse (both at least 3), walked over the
// lower-right quarter from the right end of the middle row to the bottom
// centre. This is the integer midpoint walk on the box's pixel grid by
// A. Zingl ("A Rasterizing Algorithm for Drawing Curves"): its error terms are
// the ellipse equation scaled by 8 so that even boxes, whose centre falls
// between pixels, stay in whole numbers. Each step moves one pixel left, one
// down, or both, so each row's outline is one run of columns.
void WalkEllipse(const EllipseRows& out, Int64 width, Int64 height) {
    const Int64 a = width - 1;
    const Int64 b = height - 1;
    const Int64 bOdd = b % 2;
    const Int64 aStep = 8 * a * a;
    const Int64 bStep = 8 * b * b;
    Int64 dx = 4 * b * b * (1 - a);
    Int64 dy = 4 * a * a * (1 + bOdd);
    Int64 err = dx + dy + a * a * bOdd;

    Int64 x = a;
    Int64 y = height / 2;
    Int64 runOut = x;  // rightmost outline column of the current row
    Int64 lastX = x;   // leftmost so far
    while (x >= width / 2) {
        lastX = x;
        const Int64 e2 = 2 * err;
        Int64 nextX = x;
        if (e2 >= dx) {
            --nextX;
            dx += bStep;
            err += dx;
        }
        if (e2 <= dy) {
            out.RowPair(height, y, x, runOut);
            ++y;
            runOut = nextX;
            dy += aStep;
            err += dy;
        }
        x = nextX;
    }
    // The row the walk ended in.
    if (y <= b && runOut >= lastX) {
        out.RowPair(height, y, lastX, runOut);
        ++y;
    }
    // Narrow, tall boxes: the walk reaches the middle columns before the
    // bottom row. The tips continue straight down so the outline stays
    // closed and touches the box's top and bottom.
    for (; y <= b; ++y) out.RowPair(height, y, lastX, lastX);
}

// Applies `op(destination row, source row, count)` to each row of `r`.
template <typename Op>
void CombineRows(Surface& dst, const Span2D& r, const Surface& src, Int64 offX, Int64 offY, Op op) {
    dst.Wrote({r.x0, r.y0, r.x1 - r.x0, r.y1 - r.y0});
    const auto count = static_cast<std::size_t>(r.x1 - r.x0);
    for (int y = r.y0; y < r.y1; ++y) {
        std::uint32_t* d = dst.Row(y) + r.x0;
        const std::uint32_t* s =
            src.Row(static_cast<int>(y + offY)) + static_cast<std::ptrdiff_t>(r.x0 + offX);
        op(d, s, count);
    }
}

// Numbers the histories of surfaces (see WrittenAreas::generation).
std::atomic<std::uint64_t> lastGeneration{0};

std::uint64_t NewGeneration() {
    return ++lastGeneration;
}

WrittenAreas Unknown() {
    return {NewGeneration(), false, 0, {}};
}

}  // namespace

Surface::Surface() : written_(Unknown()) {}

Surface::Surface(int width, int height, Colour fill)
    : width_(width < 0 ? 0 : width),
      height_(height < 0 ? 0 : height),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_),
              PixelValue(fill)),
      written_(Unknown()) {}

Surface::Surface(const Surface& other)
    : width_(other.width_), height_(other.height_), pixels_(other.pixels_), written_(Unknown()) {}

Surface::Surface(Surface&& other) noexcept
    : width_(other.width_),
      height_(other.height_),
      pixels_(std::move(other.pixels_)),
      written_(Unknown()) {
    other.width_ = other.height_ = 0;
    other.pixels_.clear();
    other.written_ = Unknown();
}

Surface& Surface::operator=(const Surface& other) {
    if (this == &other) return *this;
    width_ = other.width_;
    height_ = other.height_;
    pixels_ = other.pixels_;
    written_ = Unknown();
    return *this;
}

Surface& Surface::operator=(Surface&& other) noexcept {
    if (this == &other) return *this;
    width_ = std::exchange(other.width_, 0);
    height_ = std::exchange(other.height_, 0);
    pixels_ = std::move(other.pixels_);
    other.pixels_.clear();
    written_ = Unknown();
    other.written_ = Unknown();
    return *this;
}

Colour Surface::Pixel(int x, int y) const {
    return Contains(x, y) ? static_cast<Colour>(Row(y)[x]) : kInvalidColour;
}

void Surface::SetPixel(int x, int y, Colour c) {
    if (!Contains(x, y)) return;
    Row(y)[x] = PixelValue(c);
    Wrote({x, y, 1, 1});
}

// The game clears its whole field every frame and draws a few hundred small
// things on it: filled with the same colour as before, only those need
// clearing again, which spares writing two megabytes a frame.
void Surface::Fill(Colour c) {
    const std::uint32_t value = PixelValue(c);
    if (written_.known && written_.fill == value) {
        for (const PixelRect& r : written_.areas)
            for (int y = r.y; y < r.Bottom(); ++y)
                FillPixels(Row(y) + r.x, static_cast<std::size_t>(r.width), value);
    } else {
        FillPixels(pixels_.data(), pixels_.size(), value);
    }
    written_.generation = NewGeneration();
    written_.known = true;
    written_.fill = value;
    written_.areas.clear();
}

// Beyond this many rectangles a surface counts as written anywhere: a frame
// of the game draws a few hundred things, and a surface that is never filled
// whole again must not collect them for ever.
constexpr std::size_t kMostWrittenAreas = 1024;

void Surface::Wrote(PixelRect area) {
    if (!written_.known) return;
    area = Intersect(area, {0, 0, width_, height_});
    if (area.Empty()) return;
    if (written_.areas.size() == kMostWrittenAreas) {
        written_.known = false;
        written_.areas.clear();
        return;
    }
    written_.areas.push_back(area);
}

bool Surface::operator==(const Surface& other) const {
    return width_ == other.width_ && height_ == other.height_ && pixels_ == other.pixels_;
}

namespace {
constexpr std::size_t kLargePage = std::size_t{2} << 20;
// From this size on a block is rounded up to whole large pages.
constexpr std::size_t kLargeFrom = kLargePage / 2;

std::size_t LargeSize(std::size_t bytes) {
    return (bytes + kLargePage - 1) / kLargePage * kLargePage;
}
}  // namespace

void* LargePages::Allocate(std::size_t bytes) {
    if (bytes < kLargeFrom) return ::operator new(bytes);
    void* memory = std::aligned_alloc(kLargePage, LargeSize(bytes));
    if (memory == nullptr) throw std::bad_alloc();
    // Only advice: without large pages (or where the system never gives
    // them) the memory works all the same.
    madvise(memory, LargeSize(bytes), MADV_HUGEPAGE);
    return memory;
}

void LargePages::Free(void* memory, std::size_t bytes) noexcept {
    if (bytes < kLargeFrom)
        ::operator delete(memory);
    else
        std::free(memory);
}

void Surface::Resize(int width, int height, Colour fill) {
    *this = Surface(width, height, fill);
}

bool BitBlt(Surface& dst, int x, int y, int w, int h, const Surface* src, int sx, int sy,
            std::uint32_t rop) {
    const bool needsSource = rop == SRCCOPY || rop == SRCAND || rop == SRCPAINT;
    if (!needsSource && rop != BLACKNESS) return false;
    if (needsSource && src == nullptr) return false;
    if (w <= 0 || h <= 0) return true;

    if (!needsSource) {
        FillClipped(dst, ClipToSurface(dst, x, y, w, h), 0);
        return true;
    }

    // The rectangle must lie on the destination and, moved by the source
    // offset, on the source as well.
    const Int64 offX = Int64{sx} - x;
    const Int64 offY = Int64{sy} - y;
    Span2D r = ClipToSurface(dst, x, y, w, h);
    const Span2D onSrc = ClipToSurface(*src, sx, sy, w, h);
    if (r.Empty() || onSrc.Empty()) return true;
    const Int64 x0 = std::max<Int64>(r.x0, onSrc.x0 - offX);
    const Int64 y0 = std::max<Int64>(r.y0, onSrc.y0 - offY);
    const Int64 x1 = std::min<Int64>(r.x1, onSrc.x1 - offX);
    const Int64 y1 = std::min<Int64>(r.y1, onSrc.y1 - offY);
    if (x0 >= x1 || y0 >= y1) return true;
    // Within the destination now, so each fits an int.
    r = {static_cast<int>(x0), static_cast<int>(y0), static_cast<int>(x1), static_cast<int>(y1)};

    // A transfer within one surface reads the source as it was before the
    // call, so overlapping rectangles work from a copy.
    Surface copy;
    const Surface* from = src;
    if (src == &dst) {
        copy = Surface(r.x1 - r.x0, r.y1 - r.y0);
        for (int row = r.y0; row < r.y1; ++row) {
            std::memcpy(copy.Row(row - r.y0),
                        src->Row(static_cast<int>(row + offY)) + (r.x0 + offX),
                        sizeof(std::uint32_t) * static_cast<std::size_t>(r.x1 - r.x0));
        }
        from = &copy;
    }
    const Int64 fromX = from == &copy ? -r.x0 : offX;
    const Int64 fromY = from == &copy ? -r.y0 : offY;

    switch (rop) {
        case SRCCOPY:
            CombineRows(dst, r, *from, fromX, fromY,
                        [](std::uint32_t* d, const std::uint32_t* s, std::size_t n) {
                            std::memcpy(d, s, n * sizeof(std::uint32_t));
                        });
            break;
        case SRCAND:
            CombineRows(dst, r, *from, fromX, fromY,
                        [](std::uint32_t* d, const std::uint32_t* s, std::size_t n) {
                            CombinePixels(d, s, n, [](auto a, auto b) { return a & b; });
                        });
            break;
        default:  // SRCPAINT
            CombineRows(dst, r, *from, fromX, fromY,
                        [](std::uint32_t* d, const std::uint32_t* s, std::size_t n) {
                            CombinePixels(d, s, n, [](auto a, auto b) { return a | b; });
                        });
            break;
    }
    return true;
}

void FillBlack(Surface& dst, int x, int y, int w, int h) {
    if (w <= 0 || h <= 0) return;
    FillClipped(dst, ClipToSurface(dst, x, y, w, h), 0);
}

void Ellipse(Surface& dst, int left, int top, int right, int bottom, Colour pen, Colour fill,
             FillStyle style) {
    Int64 l = left, t = top, r = right, b = bottom;
    if (l > r) std::swap(l, r);
    if (t > b) std::swap(t, b);
    const Int64 width = r - l;
    const Int64 height = b - t;
    if (width == 0 || height == 0) return;
    // The ellipse lies inside its box: a box off the surface draws nothing.
    if (r <= 0 || b <= 0 || l >= dst.Width() || t >= dst.Height()) return;

    // Boxes two pixels wide or high are all outline; a single pixel is an
    // outline that starts and ends on the same spot, which paints nothing.
    if (width <= 2 || height <= 2) {
        if (width == 1 && height == 1) return;
        FillClipped(dst, ClipToSurface(dst, l, t, width, height), PixelValue(pen));
        return;
    }
    if (width > kMaxEllipseSide || height > kMaxEllipseSide) return;
    // The box came from ints and is at most kMaxEllipseSide across.
    dst.Wrote({static_cast<int>(l), static_cast<int>(t), static_cast<int>(width),
               static_cast<int>(height)});

    const EllipseRows rows{
        dst, l, t, width, PixelValue(pen), PixelValue(fill), style == FillStyle::Solid};
    WalkEllipse(rows, width, height);
}

void DrawLine(Surface& dst, int x1, int y1, int x2, int y2, Colour pen) {
    const Int64 dx = Int64{x2} - x1;
    const Int64 dy = Int64{y2} - y1;
    const Int64 adx = dx < 0 ? -dx : dx;
    const Int64 ady = dy < 0 ? -dy : dy;
    const Int64 n = std::max(adx, ady);  // pixels painted: the end point is left out
    if (n == 0 || dst.Width() == 0 || dst.Height() == 0) return;

    // One pixel per step along the longer ("major") axis. The shorter axis
    // follows the exact line, rounded to the nearest pixel; an exact half
    // rounds to the smaller coordinate whichever way the line runs.
    const bool xMajor = adx >= ady;
    const Int64 major0 = xMajor ? x1 : y1;
    const Int64 minor0 = xMajor ? y1 : x1;
    const Int64 majorStep = (xMajor ? dx : dy) < 0 ? -1 : 1;
    const Int64 minorDelta = xMajor ? dy : dx;
    const Int64 majorLimit = xMajor ? dst.Width() : dst.Height();
    const Int64 minorLimit = xMajor ? dst.Height() : dst.Width();

    // Only the steps whose major coordinate lies on the surface.
    Int64 first = 0;
    Int64 end = n;
    if (majorStep > 0) {
        first = std::max<Int64>(first, -major0);
        end = std::min<Int64>(end, majorLimit - major0);
    } else {
        first = std::max<Int64>(first, major0 - majorLimit + 1);
        end = std::min<Int64>(end, major0 + 1);
    }
    if (first >= end) return;
    // Whatever is painted lies in the box from start to end (on the surface).
    const Int64 left = std::max(std::min(x1, x2), 0),
                right = std::min(std::max(x1, x2), dst.Width() - 1);
    const Int64 top = std::max(std::min(y1, y2), 0),
                bottom = std::min(std::max(y1, y2), dst.Height() - 1);
    if (left <= right && top <= bottom) {
        dst.Wrote({static_cast<int>(left), static_cast<int>(top),
                   static_cast<int>(right - left + 1), static_cast<int>(bottom - top + 1)});
    }

    // Minor offset at step i: ceil((2 i d - n) / 2n), kept as a quotient and
    // a remainder in [0, 2n) so each step is an add and a compare. The start
    // may be billions of steps in, so it is computed in 128 bits.
    const Int64 twoN = 2 * n;
    const __int128 num = static_cast<__int128>(2) * first * minorDelta - n;
    __int128 q = num / twoN;
    if (q * twoN < num) ++q;  // round towards +infinity
    Int64 offset = static_cast<Int64>(q);
    Int64 rem = static_cast<Int64>(q * twoN - num);
    const Int64 twoD = 2 * minorDelta;

    const std::uint32_t value = PixelValue(pen);
    Int64 major = major0 + first * majorStep;
    for (Int64 i = first; i < end; ++i) {
        const Int64 minor = minor0 + offset;
        if (minor >= 0 && minor < minorLimit) {
            if (xMajor)
                dst.Row(static_cast<int>(minor))[major] = value;
            else
                dst.Row(static_cast<int>(major))[minor] = value;
        }
        major += majorStep;
        rem -= twoD;
        if (rem < 0) {
            ++offset;
            rem += twoN;
        } else if (rem >= twoN) {
            --offset;
            rem -= twoN;
        }
    }
}

}  // namespace vorlax
