// The raster's edges: reads and writes off the surface, block transfers
// clipped against both surfaces, ellipses and lines partly or wholly off the
// surface, ellipse shapes beyond the recorded sizes, and the masked-sprite
// idiom the game draws every sprite with.
#include "graphics/raster.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <queue>
#include <string>

namespace vorlax {
namespace {

constexpr Colour kBackground = 0x302010;
constexpr Colour kPen = 0x00FFFF;
constexpr Colour kBrush = 0xFF8000;

// A surface where every pixel has its own colour, so a pixel copied from the
// wrong place shows.
Surface Patterned(int w, int h, int seed) {
    Surface s(w, h);
    std::uint32_t v = 0x9E3779B9u * static_cast<std::uint32_t>(seed + 1);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            v = v * 1664525u + 1013904223u;
            s.SetPixel(x, y, static_cast<Colour>(v >> 8));
        }
    }
    return s;
}

// The w x h window of `big` whose top-left corner is (x, y).
Surface Crop(const Surface& big, int x, int y, int w, int h) {
    Surface s(w, h);
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) s.SetPixel(i, j, big.Pixel(x + i, y + j));
    return s;
}

std::string Where(int x, int y) {
    return "(" + std::to_string(x) + ", " + std::to_string(y) + ")";
}

// ---------------------------------------------------------------- Surface

TEST(Surface, ReadsOutsideGiveTheInvalidColour) {
    const Surface s(5, 4, 0x123456);
    EXPECT_EQ(s.Pixel(0, 0), 0x123456);
    EXPECT_EQ(s.Pixel(4, 3), 0x123456);
    for (auto [x, y] : {std::pair{-1, 0},
                        {5, 0},
                        {0, -1},
                        {0, 4},
                        {5, 4},
                        {-1, -1},
                        {INT_MIN, 0},
                        {0, INT_MAX}}) {
        EXPECT_EQ(s.Pixel(x, y), kInvalidColour) << Where(x, y);
    }
    EXPECT_EQ(Surface().Pixel(0, 0), kInvalidColour);
}

TEST(Surface, WritesOutsideChangeNothingAndTheTopByteIsDropped) {
    Surface s(5, 4, kBackground);
    const Surface before = s;
    for (auto [x, y] : {std::pair{-1, 0}, {5, 0}, {0, -1}, {0, 4}, {INT_MAX, INT_MIN}})
        s.SetPixel(x, y, kPen);
    EXPECT_EQ(s, before);

    s.SetPixel(2, 1, static_cast<Colour>(0x7F123456));
    EXPECT_EQ(s.Pixel(2, 1), 0x123456);
    s.Fill(kInvalidColour);
    EXPECT_EQ(s.Pixel(4, 3), 0xFFFFFF);
}

TEST(Surface, NegativeSizesGiveAnEmptySurface) {
    const Surface s(-3, 7);
    EXPECT_EQ(s.Width(), 0);
    EXPECT_FALSE(s.Contains(0, 0));
    Surface r(2, 2, kPen);
    r.Resize(3, 1, kBrush);
    EXPECT_EQ(r.Width(), 3);
    EXPECT_EQ(r.Height(), 1);
    EXPECT_EQ(r.Pixel(2, 0), kBrush);
}

// ---------------------------------------------------------------- BitBlt

// The transfer rule spelt out pixel by pixel.
Surface ModelBitBlt(Surface dst, int x, int y, int w, int h, const Surface* src, int sx, int sy,
                    std::uint32_t rop) {
    for (int j = 0; j < h; ++j) {
        for (int i = 0; i < w; ++i) {
            if (!dst.Contains(x + i, y + j)) continue;
            const Colour d = dst.Pixel(x + i, y + j);
            if (rop == BLACKNESS) {
                dst.SetPixel(x + i, y + j, 0);
                continue;
            }
            if (!src->Contains(sx + i, sy + j)) continue;
            const Colour s = src->Pixel(sx + i, sy + j);
            dst.SetPixel(x + i, y + j, rop == SRCCOPY ? s : rop == SRCAND ? (d & s) : (d | s));
        }
    }
    return dst;
}

TEST(BitBlt, ClipsAgainstEveryEdgeOfBothSurfaces) {
    const Surface initial = Patterned(9, 7, 1);
    const Surface src = Patterned(5, 4, 2);
    for (std::uint32_t rop : {SRCCOPY, SRCAND, SRCPAINT, BLACKNESS}) {
        for (int w : {1, 4, 7}) {
            for (int h : {1, 3, 6}) {
                for (int x = -7; x <= 10; ++x) {
                    for (int y = -6; y <= 8; y += 2) {
                        for (int sx : {-6, -2, 0, 2, 4, 6}) {
                            for (int sy : {-5, -1, 0, 3, 5}) {
                                Surface dst = initial;
                                const Surface* from = rop == BLACKNESS ? nullptr : &src;
                                ASSERT_TRUE(BitBlt(dst, x, y, w, h, from, sx, sy, rop));
                                const Surface want =
                                    ModelBitBlt(initial, x, y, w, h, &src, sx, sy, rop);
                                ASSERT_EQ(dst, want) << "rop " << std::hex << rop << std::dec
                                                     << " dst " << Where(x, y) << " size " << w
                                                     << "x" << h << " src " << Where(sx, sy);
                            }
                        }
                    }
                }
            }
        }
    }
}

// Rows of every length up to a few dozen pixels, at every alignment: the row
// loops work on several pixels at a time and must not drop the odd ones.
TEST(BitBlt, RowsOfAnyLengthCombineEveryPixel) {
    const Surface initial = Patterned(48, 3, 15);
    const Surface src = Patterned(48, 3, 16);
    for (std::uint32_t rop : {SRCCOPY, SRCAND, SRCPAINT, BLACKNESS}) {
        for (int w = 1; w <= 40; ++w) {
            for (int x = -1; x <= 8; ++x) {
                Surface dst = initial;
                ASSERT_TRUE(BitBlt(dst, x, 1, w, 1, &src, 3, 2, rop));
                ASSERT_EQ(dst, ModelBitBlt(initial, x, 1, w, 1, &src, 3, 2, rop))
                    << "rop " << std::hex << rop << std::dec << " width " << w << " at " << x;
            }
        }
    }
}

TEST(BitBlt, RectanglesWhollyOutsideChangeNothingButSucceed) {
    const Surface initial = Patterned(20, 10, 3);
    const Surface src = Patterned(8, 8, 4);
    struct Call {
        int x, y, sx, sy;
    };
    for (const Call& c : {Call{-8, 0, 0, 0},
                          {20, 0, 0, 0},
                          {0, -8, 0, 0},
                          {0, 10, 0, 0},
                          {0, 0, 8, 0},
                          {0, 0, -8, 0},
                          {0, 0, 0, 8},
                          {0, 0, 0, -8},
                          {INT_MAX, INT_MAX, 0, 0},
                          {0, 0, INT_MIN, INT_MIN}}) {
        for (std::uint32_t rop : {SRCCOPY, SRCAND, SRCPAINT}) {
            Surface dst = initial;
            EXPECT_TRUE(BitBlt(dst, c.x, c.y, 8, 8, &src, c.sx, c.sy, rop));
            EXPECT_EQ(dst, initial) << Where(c.x, c.y) << " from " << Where(c.sx, c.sy);
        }
    }
}

TEST(BitBlt, EmptyOrNegativeSizesDoNothing) {
    const Surface initial = Patterned(10, 10, 5);
    const Surface src = Patterned(10, 10, 6);
    for (auto [w, h] : {std::pair{0, 5}, {5, 0}, {-3, 5}, {5, -3}, {-4, -4}, {INT_MIN, 2}}) {
        for (std::uint32_t rop : {SRCCOPY, SRCAND, SRCPAINT, BLACKNESS}) {
            Surface dst = initial;
            EXPECT_TRUE(BitBlt(dst, 2, 2, w, h, &src, 0, 0, rop));
            EXPECT_EQ(dst, initial) << w << "x" << h;
        }
        Surface dst = initial;
        FillBlack(dst, 2, 2, w, h);
        EXPECT_EQ(dst, initial) << w << "x" << h;
    }
}

TEST(BitBlt, UnknownOperationOrMissingSourceFailsAndChangesNothing) {
    const Surface initial = Patterned(10, 10, 7);
    const Surface src = Patterned(10, 10, 8);
    Surface dst = initial;
    EXPECT_FALSE(BitBlt(dst, 0, 0, 5, 5, &src, 0, 0, 0x00330008));  // NOTSRCCOPY: not supported
    EXPECT_FALSE(BitBlt(dst, 0, 0, 5, 5, &src, 0, 0, 0));
    EXPECT_FALSE(BitBlt(dst, 0, 0, 0, 0, &src, 0, 0, 0x12345678));  // even when empty
    for (std::uint32_t rop : {SRCCOPY, SRCAND, SRCPAINT})
        EXPECT_FALSE(BitBlt(dst, 0, 0, 5, 5, nullptr, 0, 0, rop));
    EXPECT_EQ(dst, initial);
}

TEST(BitBlt, BlacknessIgnoresAnyGivenSource) {
    Surface dst = Patterned(10, 10, 9);
    const Surface tiny(1, 1, kPen);
    EXPECT_TRUE(BitBlt(dst, 2, 3, 6, 4, &tiny, 5, 5, BLACKNESS));
    Surface want = Patterned(10, 10, 9);
    FillBlack(want, 2, 3, 6, 4);
    EXPECT_EQ(dst, want);
    EXPECT_EQ(dst.Pixel(7, 6), 0);
    EXPECT_NE(dst.Pixel(8, 6), 0);
}

TEST(BitBlt, OverlappingTransferWithinOneSurfaceReadsTheOldPixels) {
    for (auto [dx, dy] : {std::pair{3, 2}, {-3, -2}, {2, 0}, {-2, 0}, {0, 1}, {0, -1}}) {
        for (std::uint32_t rop : {SRCCOPY, SRCAND, SRCPAINT}) {
            Surface s = Patterned(16, 12, 10);
            const Surface old = s;
            ASSERT_TRUE(BitBlt(s, 4 + dx, 3 + dy, 8, 6, &s, 4, 3, rop));
            EXPECT_EQ(s, ModelBitBlt(old, 4 + dx, 3 + dy, 8, 6, &old, 4, 3, rop))
                << "shift " << Where(dx, dy) << " rop " << std::hex << rop;
        }
    }
}

TEST(FillBlack, IsClippedToTheSurface) {
    for (int x = -6; x <= 10; x += 2) {
        for (int y = -6; y <= 8; y += 2) {
            Surface s = Patterned(9, 7, 11);
            FillBlack(s, x, y, 5, 4);
            EXPECT_EQ(s, ModelBitBlt(Patterned(9, 7, 11), x, y, 5, 4, nullptr, 0, 0, BLACKNESS))
                << Where(x, y);
        }
    }
}

// ------------------------------------------------------ masked sprites

// A sprite is drawn as its mask ANDed in (white keeps the background, black
// clears it) and then its picture ORed in (black adds nothing).
void DrawMasked(Surface& dst, int x, int y, const Surface& mask, const Surface& picture) {
    BitBlt(dst, x, y, mask.Width(), mask.Height(), &mask, 0, 0, SRCAND);
    BitBlt(dst, x, y, picture.Width(), picture.Height(), &picture, 0, 0, SRCPAINT);
}

TEST(MaskedDrawing, WhiteMaskAndBlackPictureLeaveTheBackground) {
    const Surface initial = Patterned(30, 20, 12);
    const Surface mask(12, 9, 0xFFFFFF);
    const Surface picture(12, 9, 0);
    for (auto [x, y] : {std::pair{5, 5}, {-4, -3}, {25, 15}}) {
        Surface dst = initial;
        DrawMasked(dst, x, y, mask, picture);
        EXPECT_EQ(dst, initial) << Where(x, y);
    }
}

TEST(MaskedDrawing, BlackMaskCopiesThePicture) {
    const Surface mask(12, 9, 0);
    const Surface picture = Patterned(12, 9, 13);
    for (auto [x, y] : {std::pair{5, 5}, {-4, -3}, {25, 15}}) {
        Surface dst = Patterned(30, 20, 12);
        Surface want = dst;
        BitBlt(want, x, y, 12, 9, &picture, 0, 0, SRCCOPY);
        DrawMasked(dst, x, y, mask, picture);
        EXPECT_EQ(dst, want) << Where(x, y);
        if (x == 5) {
            EXPECT_EQ(dst.Pixel(5, 5), picture.Pixel(0, 0));
        }
    }
}

TEST(MaskedDrawing, ShapedMaskKeepsTheBackgroundAroundTheShape) {
    // A 3 x 3 sprite whose only opaque pixel is the middle one.
    Surface mask(3, 3, 0xFFFFFF);
    mask.SetPixel(1, 1, 0);
    Surface picture(3, 3, 0);
    picture.SetPixel(1, 1, kBrush);
    Surface dst = Patterned(6, 6, 14);
    const Surface before = dst;
    DrawMasked(dst, 2, 2, mask, picture);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(dst.Pixel(x, y), x == 3 && y == 3 ? kBrush : before.Pixel(x, y))
                << Where(x, y);
}

// ---------------------------------------------------------------- Ellipse

Surface DrawnEllipse(int w, int h, int l, int t, int r, int b, FillStyle style) {
    Surface s(w, h, kBackground);
    Ellipse(s, l, t, r, b, kPen, kBrush, style);
    return s;
}

// Partly off the surface, an ellipse is the whole ellipse with the off-surface
// part cut away: the same drawing on a surface with a margin, cropped.
TEST(Ellipse, PartlyOffTheSurfaceIsTheWholeEllipseCropped) {
    constexpr int W = 30, H = 24, M = 40;
    for (FillStyle style : {FillStyle::Solid, FillStyle::Transparent}) {
        for (auto [bw, bh] : {std::pair{3, 3}, {5, 5}, {2, 7}, {12, 9}, {17, 30}, {40, 11}}) {
            for (int l = -bw - 1; l <= W + 1; l += 2) {
                for (int t = -bh - 1; t <= H + 1; t += 3) {
                    const Surface small = DrawnEllipse(W, H, l, t, l + bw, t + bh, style);
                    const Surface big = DrawnEllipse(W + 2 * M, H + 2 * M, l + M, t + M, l + bw + M,
                                                     t + bh + M, style);
                    ASSERT_EQ(small, Crop(big, M, M, W, H))
                        << bw << "x" << bh << " at " << Where(l, t);
                }
            }
        }
    }
}

TEST(Ellipse, TheCarrierSizedEllipseIsCroppedLikeAnyOther) {
    // The size of the largest thing on screen, hanging off the left edge.
    const Surface small = DrawnEllipse(785, 617, -400, 300, 913, 514, FillStyle::Solid);
    const Surface big = DrawnEllipse(1700, 700, 100, 300, 1413, 514, FillStyle::Solid);
    EXPECT_EQ(small, Crop(big, 500, 0, 785, 617));
}

TEST(Ellipse, WhollyOffTheSurfaceDrawsNothing) {
    const Surface blank(20, 16, kBackground);
    for (auto [l, t, r, b] : {std::array{-10, 2, 0, 12},
                              {20, 2, 30, 12},
                              {2, -10, 12, 0},
                              {2, 16, 12, 26},
                              {INT_MIN, INT_MIN, -1, -1}}) {
        EXPECT_EQ(DrawnEllipse(20, 16, l, t, r, b, FillStyle::Solid), blank)
            << Where(l, t) << "-" << Where(r, b);
    }
}

TEST(Ellipse, HugeBoxesDoNotCrash) {
    Surface s(20, 16, kBackground);
    Ellipse(s, INT_MIN, INT_MIN, INT_MAX, INT_MAX, kPen, kBrush, FillStyle::Solid);
    Ellipse(s, INT_MAX, INT_MAX, INT_MIN, INT_MIN, kPen, kBrush, FillStyle::Transparent);
    Ellipse(s, -100000, 0, 100000, 50, kPen, kBrush, FillStyle::Solid);
    // A 200001-pixel-wide ellipse is flat across a 20-pixel window: its top
    // row is outline from edge to edge.
    for (int x = 0; x < 20; ++x) EXPECT_EQ(s.Pixel(x, 0), kPen) << x;
}

TEST(Ellipse, ReversedCornersDrawTheSameEllipse) {
    for (auto [w, h] : {std::pair{1, 5}, {2, 2}, {3, 4}, {8, 5}, {13, 13}, {20, 3}}) {
        const Surface want = DrawnEllipse(40, 40, 10, 10, 10 + w, 10 + h, FillStyle::Solid);
        EXPECT_EQ(DrawnEllipse(40, 40, 10 + w, 10, 10, 10 + h, FillStyle::Solid), want);
        EXPECT_EQ(DrawnEllipse(40, 40, 10, 10 + h, 10 + w, 10, FillStyle::Solid), want);
        EXPECT_EQ(DrawnEllipse(40, 40, 10 + w, 10 + h, 10, 10, FillStyle::Solid), want);
    }
}

// The shape rules, checked on every box from 3 x 3 to 48 x 48 at an odd and an
// even position: a closed outline that touches all four sides of the box and
// nothing outside it, symmetric both ways, all of a row between the outline's
// ends filled, and the hollow ellipse the same outline with the inside left
// alone.
TEST(Ellipse, EveryBoxGetsAClosedSymmetricOutlineAndAFilledInside) {
    for (int w = 3; w <= 48; ++w) {
        for (int h = 3; h <= 48; ++h) {
            const int l = 3 + (w % 2), t = 4 + (h % 3);
            const Surface solid = DrawnEllipse(56, 56, l, t, l + w, t + h, FillStyle::Solid);
            const Surface hollow = DrawnEllipse(56, 56, l, t, l + w, t + h, FillStyle::Transparent);
            SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));

            bool top = false, bottom = false, left = false, right = false;
            for (int y = 0; y < 56; ++y) {
                int first = -1, last = -1;
                for (int x = 0; x < 56; ++x) {
                    const Colour c = solid.Pixel(x, y);
                    const bool inBox = x >= l && x < l + w && y >= t && y < t + h;
                    if (!inBox) {
                        ASSERT_EQ(c, kBackground) << "outside the box at " << Where(x, y);
                        continue;
                    }
                    // Symmetry about both axes of the box.
                    ASSERT_EQ(c, solid.Pixel(2 * l + w - 1 - x, y)) << Where(x, y);
                    ASSERT_EQ(c, solid.Pixel(x, 2 * t + h - 1 - y)) << Where(x, y);
                    // Hollow: the outline only.
                    ASSERT_EQ(hollow.Pixel(x, y), c == kPen ? kPen : kBackground) << Where(x, y);
                    if (c == kPen) {
                        top |= y == t;
                        bottom |= y == t + h - 1;
                        left |= x == l;
                        right |= x == l + w - 1;
                    }
                    if (c == kBrush) {
                        // Closed: the inside never touches the outside.
                        for (auto [nx, ny] :
                             {std::pair{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}})
                            ASSERT_NE(solid.Pixel(nx, ny), kBackground) << Where(x, y);
                    }
                    if (c != kBackground) {
                        if (first < 0) first = x;
                        last = x;
                    }
                }
                if (y >= t && y < t + h) {
                    ASSERT_GE(first, 0) << "empty row " << y;
                }
                for (int x = first; x <= last && first >= 0; ++x)
                    ASSERT_NE(solid.Pixel(x, y), kBackground) << "gap at " << Where(x, y);
            }
            EXPECT_TRUE(top && bottom && left && right);

            // One 8-connected outline.
            int penCount = 0, reached = 0;
            std::pair<int, int> start{-1, -1};
            for (int y = 0; y < 56; ++y)
                for (int x = 0; x < 56; ++x)
                    if (hollow.Pixel(x, y) == kPen) {
                        ++penCount;
                        start = {x, y};
                    }
            Surface seen(56, 56, 0);
            std::queue<std::pair<int, int>> todo;
            todo.push(start);
            seen.SetPixel(start.first, start.second, 1);
            while (!todo.empty()) {
                auto [x, y] = todo.front();
                todo.pop();
                ++reached;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx)
                        if (hollow.Pixel(x + dx, y + dy) == kPen &&
                            seen.Pixel(x + dx, y + dy) == 0) {
                            seen.SetPixel(x + dx, y + dy, 1);
                            todo.push({x + dx, y + dy});
                        }
            }
            EXPECT_EQ(reached, penCount);
        }
    }
}

// ---------------------------------------------------------------- lines

// The line rule spelt out: step i of n along the longer axis lands on the
// pixel nearest to the exact line on the other axis, a tie going to the
// smaller coordinate.
Surface ModelLine(Surface s, int x1, int y1, int x2, int y2) {
    const int dx = x2 - x1, dy = y2 - y1;
    const int n = std::max(std::abs(dx), std::abs(dy));
    for (int i = 0; i < n; ++i) {
        auto nearest = [&](int from, int d) {  // from + d * i / n, rounded
            const int num = from * n + d * i;
            int m = num >= 0 ? num / n : -((-num + n - 1) / n);  // floor
            if (2 * (num - m * n) > n) ++m;
            return m;
        };
        const bool xMajor = std::abs(dx) >= std::abs(dy);
        const int x = xMajor ? x1 + (dx > 0 ? i : -i) : nearest(x1, dx);
        const int y = xMajor ? nearest(y1, dy) : y1 + (dy > 0 ? i : -i);
        s.SetPixel(x, y, kPen);
    }
    return s;
}

TEST(DrawLine, EveryDirectionAndSlopeFollowsTheRoundingRule) {
    const Surface blank(10, 8, kBackground);
    for (int x1 = -3; x1 <= 12; ++x1)
        for (int y1 = -3; y1 <= 10; ++y1)
            for (int x2 = -3; x2 <= 12; ++x2)
                for (int y2 = -3; y2 <= 10; ++y2) {
                    Surface s = blank;
                    DrawLine(s, x1, y1, x2, y2, kPen);
                    ASSERT_EQ(s, ModelLine(blank, x1, y1, x2, y2))
                        << Where(x1, y1) << " to " << Where(x2, y2);
                }
}

TEST(DrawLine, PartlyOffTheSurfaceIsTheWholeLineCropped) {
    constexpr int W = 25, H = 18, M = 300;
    for (auto [x1, y1, x2, y2] : {std::array{-200, -150, 220, 170},
                                  {230, 5, -190, 12},
                                  {3, -250, 21, 260},
                                  {-100, 40, 60, -30},
                                  {12, 9, 290, -277},
                                  {-5, -5, 30, 23}}) {
        Surface small(W, H, kBackground);
        DrawLine(small, x1, y1, x2, y2, kPen);
        Surface big(W + 2 * M, H + 2 * M, kBackground);
        DrawLine(big, x1 + M, y1 + M, x2 + M, y2 + M, kPen);
        EXPECT_EQ(small, Crop(big, M, M, W, H)) << Where(x1, y1) << " to " << Where(x2, y2);
    }
}

TEST(DrawLine, FarAwayEndPointsStillLandOnTheRightPixels) {
    const Surface blank(12, 10, kBackground);
    {
        // The whole row, from one end of the coordinate range to the other.
        Surface s = blank;
        DrawLine(s, INT_MIN, 3, INT_MAX, 3, kPen);
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 12; ++x)
                EXPECT_EQ(s.Pixel(x, y), y == 3 ? kPen : kBackground) << Where(x, y);
    }
    {
        Surface s = blank;
        DrawLine(s, -1000000000, -1000000000, 1000000000, 1000000000, kPen);
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 12; ++x)
                EXPECT_EQ(s.Pixel(x, y), x == y ? kPen : kBackground) << Where(x, y);
    }
    {
        // One column across in four billion rows: the step happens half way,
        // at row 0, where the tie keeps the smaller column.
        Surface s = blank;
        DrawLine(s, 5, -2000000000, 6, 2000000000, kPen);
        for (int y = 0; y < 10; ++y) {
            EXPECT_EQ(s.Pixel(y == 0 ? 5 : 6, y), kPen) << y;
            EXPECT_EQ(s.Pixel(y == 0 ? 6 : 5, y), kBackground) << y;
        }
    }
    {
        Surface s = blank;
        DrawLine(s, INT_MAX, INT_MAX, INT_MIN, INT_MIN, kPen);
        DrawLine(s, INT_MIN, INT_MAX, INT_MAX, INT_MIN, kPen);
        DrawLine(s, -50, -50, -10, -10, kPen);
        DrawLine(s, 100, 0, 100, 9, kPen);
        // The two diagonals through the whole range cross the window; nothing
        // else does.
        int painted = 0;
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 12; ++x) painted += s.Pixel(x, y) == kPen;
        EXPECT_GT(painted, 0);
    }
}

TEST(DrawLine, ZeroLengthAndEmptySurfacesPaintNothing) {
    Surface s(10, 10, kBackground);
    const Surface before = s;
    DrawLine(s, 4, 4, 4, 4, kPen);
    EXPECT_EQ(s, before);
    Surface empty;
    DrawLine(empty, 0, 0, 5, 5, kPen);
    Ellipse(empty, 0, 0, 5, 5, kPen, kBrush, FillStyle::Solid);
    EXPECT_TRUE(BitBlt(empty, 0, 0, 5, 5, &s, 0, 0, SRCCOPY));
    FillBlack(empty, 0, 0, 5, 5);
    EXPECT_EQ(empty.Width(), 0);
}

}  // namespace
}  // namespace vorlax
