// The presentation's arithmetic: the scale a window opens at, where the
// picture lies in a window of any size, and the enlarged copy of the pixels.
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
        {{1000, 600}, false, {107, 0, 785, 617}},     // too low: centred across, at the top
        {{700, 500}, true, {0, 0, 785, 617}},         // smaller than the picture: its top left
        {{1000, 800}, true, {0, 7, 1000, 786}},       // 617 * 1000 / 785 = 785.99
        {{2560, 1600}, true, {262, 0, 2036, 1600}},   // 785 * 1600 / 617 = 2035.66
    };
    for (const auto& c : cases)
        EXPECT_EQ(FitPicture(kDisplay, c.window, c.any).area, c.area)
            << c.window.width << "x" << c.window.height;
    const Viewport v = FitPicture(kDisplay, {2000, 1300}, false);
    EXPECT_EQ(v.ToWindow(64, 0, 41, 25), (PixelRect{215 + 128, 33, 82, 50}));
    EXPECT_EQ(FitPicture(kDisplay, {1000, 800}, true).FontPixels(32), 41);  // 40.8
}

// ---------------------------------------------------------------- pixels

constexpr std::uint32_t kUntouched = 0xDEADBEEF;

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

// Copies `image` onto `to` of a w x h target of untouched pixels, clipped to
// `clip`, and checks every pixel: written where `written` says, from the
// image pixel `from` names, in the target's layout.
template <typename Written, typename From>
void ExpectCopy(const Surface& image, int w, int h, PixelLayout l, PixelRect to, PixelRect clip,
                Written written, From from) {
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(w * h), kUntouched);
    ScalePixels(image, {0, 0, image.Width(), image.Height()}, {pixels.data(), w * 4, {w, h}, l}, to,
                clip);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const auto [fx, fy] = from(x, y);
            ASSERT_EQ(pixels[static_cast<std::size_t>(y * w + x)],
                      written(x, y) ? InLayout(image.Pixel(fx, fy), l) : kUntouched)
                << x << ", " << y;
        }
}

TEST(ScalePixels, WholeFactorsMakeUniformBlocksInTheTargetsLayoutInsideTheClipOnly) {
    const Surface image = Checks(5, 4);
    for (int n : {1, 2, 3})
        for (PixelLayout layout : {PixelLayout{16, 8, 0}, PixelLayout{0, 8, 16}}) {
            const PixelRect to{3, 2, 5 * n, 4 * n};
            ExpectCopy(
                image, 5 * n + 6, 4 * n + 4, layout, to, to,
                [&](int x, int y) { return x >= 3 && y >= 2 && x < to.Right() && y < to.Bottom(); },
                [&](int x, int y) { return std::pair((x - 3) / n, (y - 2) / n); });
        }
    // Hanging off the target's left and bottom edges, and clipped to a band.
    ExpectCopy(
        Checks(4, 4), 10, 10, {}, {-2, 4, 8, 8}, {0, 5, 10, 3},
        [](int x, int y) { return x < 6 && y >= 5 && y < 8; },
        [](int x, int y) { return std::pair((x + 2) / 2, (y - 4) / 2); });
}

}  // namespace
}  // namespace vorlax
