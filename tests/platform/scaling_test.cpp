// The presentation's arithmetic: the scale a window opens at, where the
// picture lies in a window of any size, the way back from a window pixel to a
// logical one, the letterbox, and the enlarged copy of the pixels.
#include "platform/scaling.h"

#include <gtest/gtest.h>

#include <vector>

namespace vorlax {
namespace {

constexpr Extent kDisplay{785, 617};
constexpr Extent kHelp{473, 466};

TEST(StartScale, TheLargestWholeScaleThatFitsTheDesktopWithItsMargin) {
    EXPECT_EQ(StartScale(kDisplay, {2560, 1600}), 2);
    EXPECT_EQ(StartScale(kDisplay, {3840, 2160}), 3);
    EXPECT_EQ(StartScale(kDisplay, {1920, 1040}), 1);
    EXPECT_EQ(StartScale(kDisplay, {1024, 768}), 1);
    // Exactly two windows and the margin fit; one pixel less does not.
    EXPECT_EQ(StartScale(kDisplay, {2 * 785 + kDesktopMargin, 2 * 617 + kDesktopMargin}), 2);
    EXPECT_EQ(StartScale(kDisplay, {2 * 785 + kDesktopMargin, 2 * 617 + kDesktopMargin - 1}), 1);
    EXPECT_EQ(StartScale(kDisplay, {2 * 785 + kDesktopMargin - 1, 2 * 617 + kDesktopMargin}), 1);
    // A desktop smaller than the window still gets the window, at 1.
    EXPECT_EQ(StartScale(kDisplay, {640, 480}), 1);
    EXPECT_EQ(StartScale(kDisplay, {0, 0}), 1);
    EXPECT_EQ(StartScale(kDisplay, {100000, 100000}), kMaxScale);
}

TEST(FitPicture, WholeFactorsCentredOnTheWindow) {
    // The window the game opens at scale 2: the picture fills it.
    Viewport v = FitPicture(kDisplay, {1570, 1234}, false);
    EXPECT_EQ(v.area, (PixelRect{0, 0, 1570, 1234}));
    EXPECT_EQ(v.Scale(), 2.0);
    // Resized by the player: still 2, centred, the rest is letterbox.
    v = FitPicture(kDisplay, {2000, 1300}, false);
    EXPECT_EQ(v.area, (PixelRect{215, 33, 1570, 1234}));
    // One pixel short of scale 2 in one direction: back to 1.
    v = FitPicture(kDisplay, {1570, 1233}, false);
    EXPECT_EQ(v.area, (PixelRect{392, 308, 785, 617}));
    // Fullscreen on 2560 x 1600: the height allows 2, the width 3.
    v = FitPicture(kDisplay, {2560, 1600}, false);
    EXPECT_EQ(v.area, (PixelRect{495, 183, 1570, 1234}));
    // The help window at scale 3.
    v = FitPicture(kHelp, {1419, 1398}, false);
    EXPECT_EQ(v.area, (PixelRect{0, 0, 1419, 1398}));
}

TEST(FitPicture, AnyFactorFillsOneSideExactly) {
    Viewport v = FitPicture(kDisplay, {1000, 800}, true);
    EXPECT_EQ(v.area.width, 1000);
    EXPECT_EQ(v.area.height, 786);  // 617 * 1000 / 785 = 785.99
    EXPECT_EQ(v.area.x, 0);
    EXPECT_EQ(v.area.y, 7);
    v = FitPicture(kDisplay, {2560, 1600}, true);
    EXPECT_EQ(v.area.height, 1600);
    EXPECT_EQ(v.area.width, 2036);  // 785 * 1600 / 617 = 2035.66
    EXPECT_EQ(v.area.x, 262);
    EXPECT_NEAR(v.Scale(), 1600.0 / 617, 1e-3);
}

TEST(FitPicture, AWindowSmallerThanThePictureShowsItsTopLeftAtScaleOne) {
    for (bool any : {false, true}) {
        const Viewport v = FitPicture(kDisplay, {700, 500}, any);
        EXPECT_EQ(v.area, (PixelRect{0, 0, 785, 617})) << "any factor: " << any;
    }
    // Wider than the picture but too low: centred across, anchored at the top.
    const Viewport v = FitPicture(kDisplay, {1000, 600}, false);
    EXPECT_EQ(v.area, (PixelRect{107, 0, 785, 617}));
}

TEST(Viewport, ControlsLandOnTheBlocksOfTheirPixels) {
    const Viewport v = FitPicture(kDisplay, {2000, 1300}, false);
    // The strip's value box "Level" at 64..105 x 0..24.
    EXPECT_EQ(v.ToWindow(64, 0, 41, 25), (PixelRect{215 + 128, 33, 82, 50}));
    // The collision picture kept out of sight lies past the picture's right edge.
    EXPECT_GE(v.WindowX(785 + 20), v.area.Right());
    EXPECT_EQ(v.WindowX(785), v.area.Right());
    EXPECT_EQ(v.FontPixels(32), 64);
    EXPECT_EQ(FitPicture(kDisplay, {1000, 800}, true).FontPixels(32), 41);  // 32 * 1.274 = 40.8
}

// Every window pixel of the picture maps back to the logical pixel whose
// block WindowX/WindowY say it lies in, and blocks tile the picture.
void ExpectBlocksAgree(const Viewport& v) {
    for (int x = 0; x < v.logical.width; ++x) {
        const int left = v.WindowX(x), right = v.WindowX(x + 1);
        ASSERT_LT(left, right) << "logical column " << x << " shows at least one window column";
        for (int wx = left; wx < right; ++wx) {
            const auto p = WindowToLogical(v, wx, v.area.y);
            ASSERT_TRUE(p);
            ASSERT_EQ(p->x, x) << "window column " << wx;
        }
    }
    for (int y = 0; y < v.logical.height; ++y) {
        for (int wy = v.WindowY(y); wy < v.WindowY(y + 1); ++wy) {
            const auto p = WindowToLogical(v, v.area.x, wy);
            ASSERT_TRUE(p);
            ASSERT_EQ(p->y, y) << "window row " << wy;
        }
    }
    EXPECT_EQ(v.WindowX(0), v.area.x);
    EXPECT_EQ(v.WindowX(v.logical.width), v.area.Right());
    EXPECT_EQ(v.WindowY(v.logical.height), v.area.Bottom());
}

TEST(WindowToLogical, MapsWindowPointsBackToTheLogicalArea) {
    const Viewport v = FitPicture(kDisplay, {2000, 1300}, false);
    EXPECT_EQ(WindowToLogical(v, 215, 33), (PixelPoint{0, 0}));
    EXPECT_EQ(WindowToLogical(v, 216, 34), (PixelPoint{0, 0}));
    EXPECT_EQ(WindowToLogical(v, 217, 35), (PixelPoint{1, 1}));
    EXPECT_EQ(WindowToLogical(v, 215 + 1569, 33 + 1233), (PixelPoint{784, 616}));
    // The letterbox belongs to no logical pixel.
    EXPECT_FALSE(WindowToLogical(v, 214, 500));
    EXPECT_FALSE(WindowToLogical(v, 215 + 1570, 500));
    EXPECT_FALSE(WindowToLogical(v, 500, 32));
    EXPECT_FALSE(WindowToLogical(v, 500, 33 + 1234));

    ExpectBlocksAgree(v);
    ExpectBlocksAgree(FitPicture(kDisplay, {785, 617}, false));
    ExpectBlocksAgree(FitPicture(kDisplay, {1000, 800}, true));
    ExpectBlocksAgree(FitPicture(kHelp, {2560, 1600}, true));
}

TEST(Letterbox, CoversTheWindowAroundThePictureOnce) {
    const struct {
        Extent window;
        bool any;
    } cases[] = {{{2560, 1600}, false}, {{2000, 1300}, false}, {{1000, 800}, true},
                 {{1000, 600}, false},  {{700, 500}, false},   {{1570, 1234}, false}};
    for (const auto& c : cases) {
        const Viewport v = FitPicture(kDisplay, c.window, c.any);
        std::vector<int> covered(static_cast<std::size_t>(c.window.width * c.window.height), 0);
        auto mark = [&](const PixelRect& r) {
            for (int y = r.y; y < r.Bottom(); ++y)
                for (int x = r.x; x < r.Right(); ++x)
                    if (x >= 0 && y >= 0 && x < c.window.width && y < c.window.height)
                        ++covered[static_cast<std::size_t>(y * c.window.width + x)];
        };
        mark(v.area);
        for (const PixelRect& band : Letterbox(v, c.window)) {
            EXPECT_FALSE(band.Empty());
            mark(band);
        }
        int wrong = 0;
        for (int n : covered) wrong += n != 1;
        EXPECT_EQ(wrong, 0) << c.window.width << "x" << c.window.height;
    }
    EXPECT_TRUE(Letterbox(FitPicture(kDisplay, {1570, 1234}, false), {1570, 1234}).empty());
}

// ---------------------------------------------------------------- pixels

constexpr std::uint32_t kUntouched = 0xDEADBEEF;

struct Buffer {
    Buffer(int w, int h) : size{w, h}, pixels(static_cast<std::size_t>(w * h), kUntouched) {}
    PixelTarget Target(PixelLayout layout = {}) {
        return {pixels.data(), size.width * 4, size, layout};
    }
    std::uint32_t At(int x, int y) const {
        return pixels[static_cast<std::size_t>(y * size.width + x)];
    }
    Extent size;
    std::vector<std::uint32_t> pixels;
};

Surface Checks(int w, int h) {
    Surface s(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) s.SetPixel(x, y, RGB(10 * x + 1, 20 * y + 2, 3 + x * y));
    return s;
}

std::uint32_t InLayout(Colour c, PixelLayout l) {
    return static_cast<std::uint32_t>(RedOf(c)) << l.redShift |
           static_cast<std::uint32_t>(GreenOf(c)) << l.greenShift |
           static_cast<std::uint32_t>(BlueOf(c)) << l.blueShift;
}

TEST(ScalePixels, WholeFactorsMakeUniformBlocksInTheTargetsLayout) {
    const Surface image = Checks(5, 4);
    for (int n : {1, 2, 3}) {
        for (PixelLayout layout : {PixelLayout{16, 8, 0}, PixelLayout{0, 8, 16}}) {
            Buffer b(5 * n + 6, 4 * n + 4);
            const PixelRect to{3, 2, 5 * n, 4 * n};
            ScalePixels(image, {0, 0, 5, 4}, b.Target(layout), to, to);
            for (int y = 0; y < b.size.height; ++y) {
                for (int x = 0; x < b.size.width; ++x) {
                    const bool inside = x >= 3 && y >= 2 && x < to.Right() && y < to.Bottom();
                    const std::uint32_t want =
                        inside ? InLayout(image.Pixel((x - 3) / n, (y - 2) / n), layout)
                               : kUntouched;
                    ASSERT_EQ(b.At(x, y), want) << "n " << n << " at " << x << ", " << y;
                }
            }
        }
    }
}

TEST(ScalePixels, AnyFactorShowsThePixelTheWayBackNames) {
    const Surface image = Checks(7, 5);
    const Viewport v = FitPicture({7, 5}, {17, 13}, true);
    Buffer b(17, 13);
    ScalePixels(image, {0, 0, 7, 5}, b.Target(), v.area, v.area);
    for (int y = v.area.y; y < v.area.Bottom(); ++y)
        for (int x = v.area.x; x < v.area.Right(); ++x) {
            const auto p = WindowToLogical(v, x, y);
            ASSERT_TRUE(p);
            ASSERT_EQ(b.At(x, y), InLayout(image.Pixel(p->x, p->y), {})) << x << ", " << y;
        }
}

TEST(ScalePixels, WritesOnlyInsideTheClipAndTheTarget) {
    const Surface image = Checks(4, 4);
    Buffer b(10, 10);
    // Hangs off the target's left and bottom edges; clipped to a band as well.
    ScalePixels(image, {0, 0, 4, 4}, b.Target(), {-2, 4, 8, 8}, {0, 5, 10, 3});
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            const bool written = x < 6 && y >= 5 && y < 8;
            if (!written) {
                ASSERT_EQ(b.At(x, y), kUntouched) << x << ", " << y;
            } else {
                ASSERT_EQ(b.At(x, y), InLayout(image.Pixel((x + 2) / 2, (y - 4) / 2), {}))
                    << x << ", " << y;
            }
        }
    // A part of the image (a picture box showing less than its image).
    Buffer c(4, 4);
    ScalePixels(image, {1, 1, 2, 2}, c.Target(), {0, 0, 4, 4}, {0, 0, 4, 4});
    EXPECT_EQ(c.At(3, 3), InLayout(image.Pixel(2, 2), {}));
    EXPECT_EQ(c.At(0, 0), InLayout(image.Pixel(1, 1), {}));
    // A source rectangle outside the image copies nothing.
    Buffer d(4, 4);
    ScalePixels(image, {2, 2, 4, 4}, d.Target(), {0, 0, 4, 4}, {0, 0, 4, 4});
    EXPECT_EQ(d.At(0, 0), kUntouched);
}

}  // namespace
}  // namespace vorlax
