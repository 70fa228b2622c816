// The real game on a large screen (2560 x 1600): it opens at scale 2 with
// each pixel of its 785 x 617 field drawn as a 2 x 2 block and its text drawn
// at twice the size; a window resized by the player keeps the picture's shape
// on the game's background; F11 and Alt+Enter switch fullscreen and back
// without disturbing the game.
#include <gtest/gtest.h>

#include <sstream>

#include "e2e/e2e_fixture.h"

namespace vorlax::e2e {
namespace {

constexpr int kScale = 2;
constexpr int kWide = kClientWidth * kScale, kHigh = kClientHeight * kScale;

// Logical rectangles (the 1x layout), placed at a scale and an offset.
Rect Scaled(const Rect& r, int n, int dx = 0, int dy = 0) {
    return {dx + r.x * n, dy + r.y * n, r.w * n, r.h * n};
}

constexpr Rect kTitle{184, 48, 417, 105};
constexpr Rect kStrip{0, 0, kClientWidth, 25};
constexpr Rect kSeparator{0, 25, kClientWidth, 1};
constexpr Rect kShipAtStart{173, 276, 47, 32};
constexpr Rect kShipRows{0, 266, kClientWidth, 42};

bool TitleAt(const Image& image, int n, int dx = 0, int dy = 0) {
    return image.Count(Scaled(kTitle, n, dx, dy), kYellow) > 1000 * n * n;
}

bool PlayAt(const Image& image, int n, int dx = 0, int dy = 0) {
    const Rect line = Scaled(kSeparator, n, dx, dy);
    return image.Count(line, kWhite) == line.w * line.h &&
           image.Count(Scaled(kStrip, n, dx, dy), kYellow) > 200 * n * n;
}

// How many of the n x n blocks of `area` (window pixels, starting where a
// logical pixel's block starts) hold more than one colour.
int MixedBlocks(const Image& image, const Rect& area, int n) {
    int mixed = 0;
    for (int y = area.y; y + n <= area.Bottom(); y += n)
        for (int x = area.x; x + n <= area.Right(); x += n) {
            const Rgb c = image.At(x, y);
            bool same = true;
            for (int k = 0; k < n * n && same; ++k) same = image.At(x + k % n, y + k / n) == c;
            mixed += !same;
        }
    return mixed;
}

// Pixels outside `picture` that are not the game's background.
int LetterboxNotBackground(const Image& image, const Rect& picture) {
    int n = 0;
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x)
            n += !picture.Contains(x, y) && image.At(x, y) != kBackground;
    return n;
}

bool ShipPixel(Rgb c) {
    return c != kBackground && c != kWhite && c != kShotRed && c != kShieldBlue;
}

class E2EScaling : public GameOnXvfb {
  protected:
    E2EScaling() { screen_ = {2560, 1600}; }
};

TEST_F(E2EScaling, OpensAtScaleTwoWithEachPixelATwoByTwoBlockAndSharpText) {
    Launch();
    ASSERT_TRUE(WaitForMainWindow(kWide, kHigh)) << "no 1570x1234 window titled VORLAX appeared";
    const Image title = WaitForPicture([](const Image& i) { return TitleAt(i, kScale); },
                                       "the yellow title at twice its size");
    ASSERT_EQ(title.Width(), kWide);
    // The letters are drawn at the larger size, not enlarged: their
    // anti-aliased edges run through the 2 x 2 blocks.
    EXPECT_GT(MixedBlocks(title, Scaled(kTitle, kScale), kScale), 200);

    ASSERT_TRUE(X().Tap("F2"));
    const Image play = WaitForPicture([](const Image& i) { return PlayAt(i, kScale); },
                                      "the strip and its separator at twice their size");
    // The play field below the separator: every logical pixel one uniform block.
    const Rect field{0, 26 * kScale, kWide, kHigh - 26 * kScale};
    EXPECT_EQ(MixedBlocks(play, field, kScale), 0);
    EXPECT_GT(play.Count(field, kWhite), 20 * kScale * kScale) << "stars";
    const Rect ship = play.BoundingBox(Scaled(kShipRows, kScale), ShipPixel);
    const Rect where = Scaled(kShipAtStart, kScale);
    EXPECT_TRUE(!ship.Empty() && ship.x >= where.x && ship.y >= where.y &&
                ship.Right() <= where.Right() && ship.Bottom() <= where.Bottom())
        << "ship drawn at " << ship << ", expected within " << where;
    EXPECT_EQ(ship.x % kScale, 0);
    EXPECT_EQ(ship.w % kScale, 0);
    QuitWithEscape();
}

TEST_F(E2EScaling, AResizedWindowKeepsTheGameAndCentresTheLargestWholeScale) {
    Launch({.executable = {}, .args = {"--scale", "1"}, .env = {}});
    ASSERT_TRUE(WaitForMainWindow()) << "--scale 1 opens the 785x617 window";
    WaitForPicture([](const Image& i) { return TitleAt(i, 1); }, "the title");
    ASSERT_TRUE(X().Tap("F2"));
    WaitForPicture([](const Image& i) { return PlayAt(i, 1); }, "the strip");

    // The player drags the window larger: the picture doubles, centred on the
    // background, and the game plays on (no return to the title screen).
    ASSERT_TRUE(X().Resize(MainWindow(), 2000, 1300));
    const Image big =
        WaitForPicture([](const Image& i) { return i.Width() == 2000 && PlayAt(i, 2, 215, 33); },
                       "the play field at scale 2 in the middle of a 2000x1300 window");
    const Rect picture{215, 33, kWide, kHigh};
    EXPECT_EQ(LetterboxNotBackground(big, picture), 0);
    EXPECT_EQ(MixedBlocks(big, {215, 33 + 26 * 2, kWide, kHigh - 26 * 2}, 2), 0);
    EXPECT_EQ(big.Count(Scaled(kTitle, 2, 215, 33), kYellow), 0) << "still playing";

    // Narrower than two pictures: back to scale 1, still centred.
    ASSERT_TRUE(X().Resize(MainWindow(), 1500, 700));
    const Image small =
        WaitForPicture([](const Image& i) { return i.Width() == 1500 && PlayAt(i, 1, 357, 41); },
                       "the play field at scale 1 in the middle of a 1500x700 window");
    EXPECT_EQ(LetterboxNotBackground(small, {357, 41, kClientWidth, kClientHeight}), 0);
    QuitWithEscape();
}

class E2EFullscreen : public GameOnXvfb {
  protected:
    E2EFullscreen() {
        screen_ = {2560, 1600};
        windowManager_ = true;  // fullscreen is the window manager's to grant
    }

    std::optional<WindowInfo> Main() {
        for (const WindowInfo& w : GameWindows())
            if (w.id == MainWindow()) return w;
        return std::nullopt;
    }
    bool MainIs(int width, int height) {
        return WaitUntil(
            [&] {
                const auto w = Main();
                return w && w->width == width && w->height == height;
            },
            kScreenLimit, milliseconds{50});
    }
};

TEST_F(E2EFullscreen, F11AndAltEnterSwitchFullscreenAndBackDuringPlay) {
    Launch();
    ASSERT_TRUE(WaitForMainWindow(kWide, kHigh));
    WaitForPicture([](const Image& i) { return TitleAt(i, kScale); }, "the title");
    ASSERT_TRUE(X().Tap("F2"));
    WaitForPicture([](const Image& i) { return PlayAt(i, kScale); }, "the strip");

    // Fullscreen on 2560 x 1600: still scale 2 (the height allows no more),
    // centred, the rest the game's background.
    ASSERT_TRUE(X().Tap("F11"));
    ASSERT_TRUE(MainIs(2560, 1600)) << "F11 did not make the window fullscreen";
    const Image full = WaitForPicture(
        [](const Image& i) { return i.Width() == 2560 && PlayAt(i, kScale, 495, 183); },
        "the play field at scale 2 in the middle of the screen");
    EXPECT_EQ(LetterboxNotBackground(full, {495, 183, kWide, kHigh}), 0);
    EXPECT_EQ(MixedBlocks(full, {495, 183 + 52, kWide, kHigh - 52}, kScale), 0);

    ASSERT_TRUE(X().Tap("F11"));
    ASSERT_TRUE(MainIs(kWide, kHigh)) << "F11 again did not bring the window back";
    WaitForPicture([](const Image& i) { return i.Width() == kWide && PlayAt(i, kScale); },
                   "the play field filling the window again");

    ASSERT_TRUE(X().KeyDown("Alt_L"));
    const bool tapped = X().Tap("Return");
    ASSERT_TRUE(X().KeyUp("Alt_L"));
    ASSERT_TRUE(tapped);
    ASSERT_TRUE(MainIs(2560, 1600)) << "Alt+Enter did not make the window fullscreen";
    WaitForPicture([](const Image& i) { return i.Width() == 2560 && PlayAt(i, kScale, 495, 183); },
                   "the game still in play, fullscreen");
    QuitWithEscape();
}

}  // namespace
}  // namespace vorlax::e2e
