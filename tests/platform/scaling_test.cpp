// The presentation's arithmetic: the scale a window opens at, where the
// picture lies in a window of any size, and the enlarged copy of the pixels.
#include "platform/scaling.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <utility>
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
    const Viewport any = FitPicture(kDisplay, {1000, 800}, true);
    EXPECT_EQ(any.FontPixels(32), 41);  // 40.8
    // Window column c shows logical column floor((c + 1/2) * 785 / 1000): 1
    // from column 1, 784 from 999. Rows likewise: row 1 on rows 7 + 1 and 7 + 2.
    EXPECT_EQ(any.ToWindow(1, 1, 783, 1), (PixelRect{1, 8, 998, 2}));
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

// ---------------------------------------------------------------- only what changed

TEST(MergeNearby, JoinsWhatTheSlackAllowsAndKeepsAllTheRest) {
    // 3 x 3 stars: side by side with a gap of 7 the box holds 39 - 18 = 21
    // more; one row apart, 3 more.
    const PixelRect a{10, 10, 3, 3};
    EXPECT_EQ(MergeNearby({{20, 10, 3, 3}, a}), (std::vector<PixelRect>{{10, 10, 13, 3}}));
    EXPECT_EQ(MergeNearby({a, {10, 14, 3, 3}, {10, 10, 3, 3}}),
              (std::vector<PixelRect>{{10, 10, 3, 7}}));
    // Exactly the slack more is joined, one pixel beyond it not.
    const int gap = kMergeSlack;  // a 1 x 1 pair: the box holds gap more
    EXPECT_EQ(MergeNearby({{0, 0, 1, 1}, {gap + 1, 0, 1, 1}}).size(), 1u);
    EXPECT_EQ(MergeNearby({{0, 0, 1, 1}, {gap + 2, 0, 1, 1}}).size(), 2u);
    EXPECT_TRUE(MergeNearby({}).empty());
}

TEST(MergeNearby, ReturnsEveryPieceFromTheTopThenFromTheLeftWhateverTheRowsSpan) {
    // Far enough apart that none is joined, given from the bottom right:
    // within a few rows, and over rows far more than the pieces.
    for (const int step : {100, 100000}) {
        std::vector<PixelRect> given, expected;
        for (int row = 0; row < 4; ++row)
            for (int column = 0; column < 3; ++column)
                expected.push_back({column * 200, row * step, 1, 1});
        given.assign(expected.rbegin(), expected.rend());
        std::swap(given[1], given[5]);
        EXPECT_EQ(MergeNearby(given), expected) << "rows " << step << " apart";
    }
}

std::vector<PixelRect> Sorted(std::vector<PixelRect> v) {
    std::sort(v.begin(), v.end(),
              [](auto a, auto b) { return std::pair(a.y, a.x) < std::pair(b.y, b.x); });
    return v;
}

TEST(ShownPicture, WhatItSendsBringsTheWindowUpToDateAndCostsOnlyThePlacesWritten) {
    constexpr Colour kBack = RGB(1, 0, 1), kWhite = RGB(255, 255, 255);
    Surface picture(100, 61, kBack);
    Surface window(100, 61, RGB(255, 0, 0));  // what the rectangles sent have brought
    ShownPicture shown;
    auto show = [&] {
        const std::vector<PixelRect> sent = shown.TakeChanges(picture);
        for (const PixelRect& r : sent)
            BitBlt(window, r.x, r.y, r.width, r.height, &picture, r.x, r.y, SRCCOPY);
        return Sorted(sent);
    };
    using Rects = std::vector<PixelRect>;
    const PixelRect whole{0, 0, 100, 61}, line{0, 5, 100, 1};
    // A frame of play: the field cleared, the separator drawn where it always
    // is, and a star somewhere.
    auto frame = [&](int x, int y) {
        picture.Fill(kBack);
        DrawLine(picture, 0, 5, 100, 5, kWhite);
        if (x >= 0) Ellipse(picture, x, y, x + 3, y + 3, kWhite, kWhite, FillStyle::Solid);
    };
    frame(-1, 0);
    EXPECT_EQ(show(), Rects{whole});  // at first, all of it
    EXPECT_TRUE(show().empty());      // nothing drawn since
    frame(-1, 0);
    EXPECT_EQ(show(), Rects{line});
    // The star moves as in play: where it was goes with where it is, where
    // it was before that not.
    frame(10, 10);
    EXPECT_EQ(show(), (Rects{line, {10, 10, 3, 3}}));
    frame(50, 58);  // on the bottom edge
    EXPECT_EQ(show(), (Rects{line, {10, 10, 3, 3}, {50, 58, 3, 3}}));
    frame(30, 30);
    EXPECT_EQ(show(), (Rects{line, {30, 30, 3, 3}, {50, 58, 3, 3}}));
    // A shot drawn on top without clearing costs its own pixels alone.
    Ellipse(picture, 70, 20, 72, 22, RGB(0, 255, 255), RGB(0, 255, 255), FillStyle::Solid);
    EXPECT_EQ(show(), (Rects{{70, 20, 2, 2}}));
    // A star that moved a step: its old and new place go as one, beside
    // what the new fill cleared.
    frame(31, 30);
    EXPECT_EQ(show(), (Rects{line, {70, 20, 2, 2}, {30, 30, 4, 3}}));
    EXPECT_EQ(window, picture);
    // Of another size, or filled with another colour: all of it again.
    picture = Surface(50, 40, kBack);
    picture.Fill(kBack);  // a history known, but of another picture
    EXPECT_EQ(show(), (Rects{{0, 0, 50, 40}}));
    picture = Surface(100, 61, kBack);
    window = Surface(100, 61, RGB(255, 0, 0));
    EXPECT_EQ(show(), Rects{whole});
    picture.Fill(kBack);  // known from now on, though not as shown
    EXPECT_EQ(show(), Rects{whole});
    picture.Fill(kWhite);
    EXPECT_EQ(show(), Rects{whole});
    EXPECT_EQ(window, picture);

    // Any frames: mostly cleared with the same colour, now and then not
    // cleared or cleared with another; drawn on anywhere, also beyond the edges.
    std::mt19937 random(5);
    for (int frame = 0; frame < 300; ++frame) {
        const unsigned kind = random() % 10;
        if (kind < 7) picture.Fill(kBack);
        if (kind == 7) picture.Fill(RGB(0, 0, static_cast<int>(random() % 2)));
        for (int i = static_cast<int>(random() % 30); i > 0; --i) {
            const int x = static_cast<int>(random() % 120) - 10,
                      y = static_cast<int>(random() % 80) - 10;
            const Colour c = static_cast<Colour>(random() & 0xFFFFFF);
            if (i % 3 == 0)
                DrawLine(picture, x, y, x + 30, y + static_cast<int>(random() % 9), c);
            else
                Ellipse(picture, x, y, x + 1 + static_cast<int>(random() % 12), y + 3, c, c,
                        FillStyle::Solid);
        }
        if (frame % 40 == 39) picture = Surface(picture);  // a history unknown
        show();
        ASSERT_EQ(window, picture) << "frame " << frame;
    }
}

}  // namespace
}  // namespace vorlax
