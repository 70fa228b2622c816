// The raster's edges, beyond the recorded GDI pixels: block transfers clipped
// against every edge of both surfaces or within one surface, the ellipse shape
// rules on every box size the game draws, and lines partly off the surface.
#include "raster/raster.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>
#include <utility>

namespace vorlax {
namespace {

constexpr Colour kBackground = 0x302010;
constexpr Colour kPen = 0x00FFFF;
constexpr Colour kBrush = 0xFF8000;
constexpr std::uint32_t kRops[] = {SRCCOPY, SRCAND, SRCPAINT, BLACKNESS};

// A w x h surface whose pixel (x, y) is colourAt(x, y), made row by row.
template <typename F>
Surface Made(int w, int h, F colourAt) {
    Surface s(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) s.SetPixel(x, y, colourAt(x, y));
    return s;
}

// A surface where every pixel has its own colour, so a pixel copied from the
// wrong place shows.
Surface Patterned(int w, int h, int seed) {
    std::uint32_t v = 0x9E3779B9u * static_cast<std::uint32_t>(seed + 1);
    return Made(w, h, [&](int, int) {
        v = v * 1664525u + 1013904223u;
        return static_cast<Colour>(v >> 8);
    });
}

// The w x h window of `big` whose top-left corner is (x, y).
Surface Crop(const Surface& big, int x, int y, int w, int h) {
    return Made(w, h, [&](int i, int j) { return big.Pixel(x + i, y + j); });
}

std::string Where(int x, int y) {
    return "(" + std::to_string(x) + ", " + std::to_string(y) + ")";
}

TEST(Surface, OffTheSurfaceReadsAreInvalidAndWritesAndDrawingDoNothing) {
    Surface s(5, 4, 0x123456);
    const Surface before = s;
    for (auto [x, y] : {std::pair{-1, 0}, {5, 0}, {0, -1}, {0, 4}, {INT_MIN, INT_MAX}}) {
        EXPECT_EQ(s.Pixel(x, y), kInvalidColour) << Where(x, y);
        s.SetPixel(x, y, kPen);
    }
    EXPECT_EQ(s, before);
    // A pixel holds 24 bits of colour: the top byte is dropped.
    s.SetPixel(2, 1, static_cast<Colour>(0x7F123456));
    EXPECT_EQ(s.Pixel(2, 1), 0x123456);
    // A negative size gives an empty surface, on which nothing draws.
    Surface empty(-3, 7);
    EXPECT_EQ(empty.Width(), 0);
    DrawLine(empty, 0, 0, 5, 5, kPen);
    Ellipse(empty, -2, 0, 5, 5, kPen, kBrush, FillStyle::Solid);
    EXPECT_TRUE(BitBlt(empty, 0, 0, 5, 5, &s, 0, 0, SRCCOPY));
}

// ---------------------------------------------------------------- BitBlt

// The transfer rule spelt out pixel by pixel: a destination pixel changes
// only where it lies on the destination and, but for BLACKNESS, its source
// pixel lies on the source.
Surface ModelBitBlt(Surface dst, int x, int y, int w, int h, const Surface& src, int sx, int sy,
                    std::uint32_t rop) {
    for (int j = 0; j < h; ++j) {
        for (int i = 0; i < w; ++i) {
            const Colour d = dst.Pixel(x + i, y + j), s = src.Pixel(sx + i, sy + j);
            if (d == kInvalidColour || (rop != BLACKNESS && s == kInvalidColour)) continue;
            dst.SetPixel(x + i, y + j,
                         rop == BLACKNESS ? 0
                         : rop == SRCCOPY ? s
                         : rop == SRCAND  ? (d & s)
                                          : (d | s));
        }
    }
    return dst;
}

// Every placement across every edge of both surfaces, at widths that take the
// row loops through their several-pixels-at-a-time part and the leftover
// pixels. BLACKNESS is handed a one-pixel source, which it must ignore.
TEST(BitBlt, ClipsAgainstEveryEdgeOfBothSurfaces) {
    const Surface initial = Patterned(22, 7, 1);
    const Surface picture = Patterned(19, 5, 2), dot(1, 1, kPen);
    for (std::uint32_t rop : kRops)
        for (int w : {1, 4, 9, 17})
            for (int h : {1, 3, 6})
                for (int x = -w - 1; x <= 23; ++x)
                    for (int y = -h - 1; y <= 8; y += 2)
                        for (int sx : {-w, -2, 0, 3, 19 - w, 17, 19})
                            for (int sy : {-h, -1, 0, 5 - h, 4, 5}) {
                                const Surface& src = rop == BLACKNESS ? dot : picture;
                                const Surface want =
                                    ModelBitBlt(initial, x, y, w, h, src, sx, sy, rop);
                                Surface dst = initial;
                                ASSERT_TRUE(BitBlt(dst, x, y, w, h, &src, sx, sy, rop));
                                ASSERT_EQ(dst, want) << "rop " << std::hex << rop << std::dec
                                                     << " dst " << Where(x, y) << " size " << w
                                                     << "x" << h << " src " << Where(sx, sy);
                                if (rop != BLACKNESS) continue;
                                dst = initial;
                                FillBlack(dst, x, y, w, h);
                                ASSERT_EQ(dst, want) << "FillBlack " << Where(x, y);
                            }
}

TEST(BitBlt, UnknownOperationOrMissingSourceFailsAndEmptyDoesNothing) {
    const Surface initial = Patterned(10, 10, 7);
    Surface dst = initial;
    EXPECT_FALSE(BitBlt(dst, 0, 0, 5, 5, &initial, 0, 0, 0x00330008));  // NOTSRCCOPY
    EXPECT_FALSE(BitBlt(dst, 0, 0, 5, 5, nullptr, 0, 0, SRCAND));
    for (std::uint32_t rop : kRops) EXPECT_TRUE(BitBlt(dst, 2, 2, -3, 5, &initial, 0, 0, rop));
    EXPECT_EQ(dst, initial);
}

TEST(BitBlt, OverlappingTransferWithinOneSurfaceReadsTheOldPixels) {
    const Surface old = Patterned(16, 12, 10);
    for (auto [dx, dy] : {std::pair{3, 2}, {-3, -2}, {2, 0}, {-2, 0}, {0, 1}, {0, -1}})
        for (std::uint32_t rop : {SRCCOPY, SRCAND, SRCPAINT}) {
            Surface s = old;
            ASSERT_TRUE(BitBlt(s, 4 + dx, 3 + dy, 8, 6, &s, 4, 3, rop));
            EXPECT_EQ(s, ModelBitBlt(old, 4 + dx, 3 + dy, 8, 6, old, 4, 3, rop))
                << "shift " << Where(dx, dy) << " rop " << std::hex << rop;
        }
}

// ---------------------------------------------------------------- Ellipse

Surface DrawnEllipse(int w, int h, int l, int t, int r, int b, FillStyle style) {
    Surface s(w, h, kBackground);
    Ellipse(s, l, t, r, b, kPen, kBrush, style);
    return s;
}

// The shape rules on every box from 3 x 3 to 48 x 48, at odd and even
// positions: nothing outside the box; symmetric both ways; each row of the box
// one run of outline and fill, the fill nowhere next to the outside, and the
// outline touching all four sides (together these make the outline one closed
// 8-connected ring); the hollow ellipse the same outline, inside left alone.
TEST(Ellipse, EveryBoxGetsAClosedSymmetricOutlineAndAFilledInside) {
    constexpr int S = 56;
    for (int w = 3; w <= 48; ++w) {
        for (int h = 3; h <= 48; ++h) {
            const int l = 3 + (w % 2), t = 4 + (h % 3);
            const Surface solid = DrawnEllipse(S, S, l, t, l + w, t + h, FillStyle::Solid);
            const Surface hollow = DrawnEllipse(S, S, l, t, l + w, t + h, FillStyle::Transparent);
            SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
            int sides = 0;
            for (int y = 0; y < S; ++y) {
                int runs = 0;
                for (int x = 0; x < S; ++x) {
                    const Colour c = solid.Pixel(x, y);
                    if (x < l || x >= l + w || y < t || y >= t + h) {
                        ASSERT_EQ(c, kBackground) << "outside the box at " << Where(x, y);
                        continue;
                    }
                    ASSERT_EQ(c, solid.Pixel(2 * l + w - 1 - x, y)) << Where(x, y);
                    ASSERT_EQ(c, solid.Pixel(x, 2 * t + h - 1 - y)) << Where(x, y);
                    ASSERT_EQ(hollow.Pixel(x, y), c == kPen ? kPen : kBackground) << Where(x, y);
                    runs += c != kBackground && solid.Pixel(x - 1, y) == kBackground;
                    if (c == kPen) {
                        sides |= (y == t) | (y == t + h - 1) << 1 | (x == l) << 2 |
                                 (x == l + w - 1) << 3;
                    }
                    if (c != kBrush) continue;
                    for (auto [nx, ny] : {std::pair{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}})
                        ASSERT_NE(solid.Pixel(nx, ny), kBackground) << "open at " << Where(x, y);
                }
                if (y >= t && y < t + h) {
                    ASSERT_EQ(runs, 1) << "row " << y;
                }
            }
            EXPECT_EQ(sides, 15) << "the outline misses a side of the box";
        }
    }
}

// ---------------------------------------------------------------- lines

// Lines between points on, near and far off every edge: partly off the
// surface, a line is the whole line cropped.
TEST(DrawLine, OffTheSurfaceIsTheWholeLineCropped) {
    constexpr int W = 25, H = 18, M = 64;
    const Surface blankBig(W + 2 * M, H + 2 * M, kBackground);
    const int xs[] = {-40, -3, 0, 11, 24, 25, 60};
    const int ys[] = {-50, -1, 0, 9, 17, 18, 45};
    for (int x1 : xs)
        for (int y1 : ys)
            for (int x2 : xs)
                for (int y2 : ys) {
                    Surface small(W, H, kBackground);
                    DrawLine(small, x1, y1, x2, y2, kPen);
                    Surface big = blankBig;
                    DrawLine(big, x1 + M, y1 + M, x2 + M, y2 + M, kPen);
                    ASSERT_EQ(small, Crop(big, M, M, W, H))
                        << Where(x1, y1) << " to " << Where(x2, y2);
                }
}

}  // namespace
}  // namespace vorlax
