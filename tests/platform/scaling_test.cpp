// The presentation's arithmetic: the scale a window opens at, where the
// picture lies in a window of any size, the way back from a window pixel to a
// logical one, the letterbox, and the enlarged copy of the pixels.
#include "platform/scaling.h"

#include <gtest/gtest.h>

#include <vector>

namespace vorlax {
namespace {

constexpr Extent kDisplay{785, 617};
constexpr int kTwo = 2 * 785 + kDesktopMargin, kTwoHigh = 2 * 617 + kDesktopMargin;

TEST(StartScale, TheLargestWholeScaleThatFitsTheDesktopWithItsMargin) {
    EXPECT_EQ(StartScale(kDisplay, {kTwo, kTwoHigh}), 2);
    EXPECT_EQ(StartScale(kDisplay, {kTwo, kTwoHigh - 1}), 1);
    EXPECT_EQ(StartScale(kDisplay, {kTwo - 1, kTwoHigh}), 1);
    EXPECT_EQ(StartScale(kDisplay, {3840, 2160}), 3);
    EXPECT_EQ(StartScale(kDisplay, {640, 480}), 1);  // still the window, at 1
    EXPECT_EQ(StartScale(kDisplay, {100000, 100000}), kMaxScale);
}

TEST(FitPicture, WholeFactorsCentredOnTheWindowOrAnyFactorFillingOneSide) {
    const struct {
        Extent window;
        bool any;
        PixelRect area;
    } cases[] = {
        {{1570, 1234}, false, {0, 0, 1570, 1234}},  // the window the game opens at scale 2
        {{2000, 1300}, false, {215, 33, 1570, 1234}},
        {{1570, 1233}, false, {392, 308, 785, 617}},  // one pixel short of scale 2
        {{2560, 1600}, false, {495, 183, 1570, 1234}},
        {{1000, 600}, false, {107, 0, 785, 617}},    // too low: centred across, at the top
        {{700, 500}, true, {0, 0, 785, 617}},        // smaller than the picture: its top left
        {{1000, 800}, true, {0, 7, 1000, 786}},      // 617 * 1000 / 785 = 785.99
        {{2560, 1600}, true, {262, 0, 2036, 1600}},  // 785 * 1600 / 617 = 2035.66
    };
    for (const auto& c : cases)
        EXPECT_EQ(FitPicture(kDisplay, c.window, c.any).area, c.area)
            << c.window.width << "x" << c.window.height;
    const Viewport v = FitPicture(kDisplay, {2000, 1300}, false);
    EXPECT_EQ(v.ToWindow(64, 0, 41, 25), (PixelRect{215 + 128, 33, 82, 50}));
    EXPECT_EQ(FitPicture(kDisplay, {1000, 800}, true).FontPixels(32), 41);  // 40.8
}

// Every window pixel of the picture maps back to the logical pixel whose
// block WindowX/WindowY say it lies in, and blocks tile the picture.
void ExpectBlocksAgree(const Viewport& v) {
    for (int x = 0; x < v.logical.width; ++x) {
        ASSERT_LT(v.WindowX(x), v.WindowX(x + 1)) << "logical column " << x << " shows";
        for (int wx = v.WindowX(x); wx < v.WindowX(x + 1); ++wx)
            ASSERT_EQ(WindowToLogical(v, wx, v.area.y)->x, x) << "window column " << wx;
    }
    for (int y = 0; y < v.logical.height; ++y)
        for (int wy = v.WindowY(y); wy < v.WindowY(y + 1); ++wy)
            ASSERT_EQ(WindowToLogical(v, v.area.x, wy)->y, y) << "window row " << wy;
    EXPECT_EQ(v.WindowX(0), v.area.x);
    EXPECT_EQ(v.WindowX(v.logical.width), v.area.Right());
    EXPECT_EQ(v.WindowY(v.logical.height), v.area.Bottom());
}

TEST(WindowToLogical, MapsWindowPointsBackToTheLogicalArea) {
    const Viewport v = FitPicture(kDisplay, {2000, 1300}, false);
    EXPECT_EQ(WindowToLogical(v, 216, 34), (PixelPoint{0, 0}));
    EXPECT_EQ(WindowToLogical(v, 215 + 1569, 33 + 1233), (PixelPoint{784, 616}));
    // The letterbox belongs to no logical pixel.
    EXPECT_FALSE(WindowToLogical(v, 214, 500));
    EXPECT_FALSE(WindowToLogical(v, 215 + 1570, 500));
    EXPECT_FALSE(WindowToLogical(v, 500, 33 + 1234));
    ExpectBlocksAgree(v);
    ExpectBlocksAgree(FitPicture(kDisplay, {1000, 800}, true));
    ExpectBlocksAgree(FitPicture({473, 466}, {2560, 1600}, true));
}

TEST(Letterbox, CoversTheWindowAroundThePictureOnce) {
    for (const Extent window : {Extent{2000, 1300}, Extent{1000, 800}, Extent{700, 500}}) {
        const Viewport v = FitPicture(kDisplay, window, window.width == 1000);
        std::vector<int> covered(static_cast<std::size_t>(window.width * window.height), 0);
        auto mark = [&](const PixelRect& r) {
            for (int y = std::max(r.y, 0); y < std::min(r.Bottom(), window.height); ++y)
                for (int x = std::max(r.x, 0); x < std::min(r.Right(), window.width); ++x)
                    ++covered[static_cast<std::size_t>(y * window.width + x)];
        };
        mark(v.area);
        for (const PixelRect& band : Letterbox(v, window)) mark(band);
        EXPECT_EQ(std::count(covered.begin(), covered.end(), 1), window.width * window.height)
            << window.width << "x" << window.height;
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

std::uint32_t InLayout(Colour c, PixelLayout l = {}) {
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
            for (int y = 0; y < b.size.height; ++y)
                for (int x = 0; x < b.size.width; ++x) {
                    const bool inside = x >= 3 && y >= 2 && x < to.Right() && y < to.Bottom();
                    ASSERT_EQ(b.At(x, y),
                              inside ? InLayout(image.Pixel((x - 3) / n, (y - 2) / n), layout)
                                     : kUntouched)
                        << "n " << n << " at " << x << ", " << y;
                }
        }
    }
}

TEST(ScalePixels, WritesOnlyInsideTheClipAndTheTargetAndTheImage) {
    const Surface image = Checks(4, 4);
    Buffer b(10, 10);
    // Hangs off the target's left and bottom edges; clipped to a band as well.
    ScalePixels(image, {0, 0, 4, 4}, b.Target(), {-2, 4, 8, 8}, {0, 5, 10, 3});
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            const bool written = x < 6 && y >= 5 && y < 8;
            ASSERT_EQ(b.At(x, y),
                      written ? InLayout(image.Pixel((x + 2) / 2, (y - 4) / 2)) : kUntouched)
                << x << ", " << y;
        }
    // A source rectangle outside the image copies nothing.
    Buffer d(4, 4);
    ScalePixels(image, {2, 2, 4, 4}, d.Target(), {0, 0, 4, 4}, {0, 0, 4, 4});
    EXPECT_EQ(d.At(0, 0), kUntouched);
}

}  // namespace
}  // namespace vorlax
