// The real game on a large screen (2560 x 1600) with a window manager: it
// opens at scale 2 with each pixel of its 785 x 617 field drawn as a 2 x 2
// block and its text drawn at twice the size; F11 and Alt+Enter switch
// fullscreen, with the picture centred on the game's background, and back
// without disturbing the game.
#include <gtest/gtest.h>

#include "e2e/e2e_fixture.h"

namespace vorlax::e2e {
namespace {

constexpr int kScale = 2;
constexpr int kWide = kClientWidth * kScale, kHigh = kClientHeight * kScale;
// Where the scale-2 picture lies on the fullscreen window.
constexpr int kLeft = (2560 - kWide) / 2, kTop = (1600 - kHigh) / 2;

// A logical rectangle (the 1x layout) at scale 2 and an offset.
Rect Scaled(const Rect& r, int dx = 0, int dy = 0) {
    return {dx + r.x * kScale, dy + r.y * kScale, r.w * kScale, r.h * kScale};
}

bool PlayAt(const Image& image, int dx = 0, int dy = 0) {
    const Rect line = Scaled(kSeparator, dx, dy);
    return image.Count(line, kWhite) == line.w * line.h &&
           image.Count(Scaled(kStrip, dx, dy), kYellow) > 200 * kScale * kScale;
}

// How many of the 2 x 2 blocks of `area` hold more than one colour.
int MixedBlocks(const Image& image, const Rect& area) {
    int mixed = 0;
    for (int y = area.y; y + kScale <= area.Bottom(); y += kScale)
        for (int x = area.x; x + kScale <= area.Right(); x += kScale) {
            const Rgb c = image.At(x, y);
            mixed +=
                image.At(x + 1, y) != c || image.At(x, y + 1) != c || image.At(x + 1, y + 1) != c;
        }
    return mixed;
}

class E2EScaling : public GameOnXvfb {
  protected:
    E2EScaling() {
        screen_ = {2560, 1600};
        windowManager_ = true;  // fullscreen is the window manager's to grant
    }
    bool MainIs(int width, int height) {
        return WaitUntil(
            [&] {
                for (const WindowInfo& w : GameWindows())
                    if (w.id == MainWindow()) return w.width == width && w.height == height;
                return false;
            },
            kLimit, milliseconds{50});
    }
};

TEST_F(E2EScaling, OpensAtScaleTwoAndF11AndAltEnterSwitchFullscreenDuringPlay) {
    Launch();
    ASSERT_TRUE(WaitForMainWindow(kWide, kHigh)) << "no 1570x1234 window titled VORLAX appeared";
    const Image title =
        WaitForPicture([](const Image& i) { return i.Count(Scaled(kTitle), kYellow) > 4000; },
                       "the yellow title at twice its size");
    // The letters are drawn at the larger size, not enlarged: their
    // anti-aliased edges run through the 2 x 2 blocks.
    EXPECT_GT(MixedBlocks(title, Scaled(kTitle)), 200);

    ASSERT_TRUE(X().Tap("F2"));
    const Image play = WaitForPicture([](const Image& i) { return PlayAt(i); },
                                      "the strip and its separator at twice their size");
    // The play field below the separator: every logical pixel one uniform block.
    EXPECT_EQ(MixedBlocks(play, Scaled(kPlayField)), 0);
    EXPECT_GT(play.Count(Scaled(kPlayField), kWhite), 20 * kScale * kScale) << "stars";

    // Fullscreen on 2560 x 1600: still scale 2 (the height allows no more),
    // centred, the rest the game's background.
    ASSERT_TRUE(X().Tap("F11"));
    ASSERT_TRUE(MainIs(2560, 1600)) << "F11 did not make the window fullscreen";
    const Image full =
        WaitForPicture([](const Image& i) { return i.Width() == 2560 && PlayAt(i, kLeft, kTop); },
                       "the play field at scale 2 in the middle of the screen");
    const Rect picture{kLeft, kTop, kWide, kHigh};
    int letterbox = 0;
    for (int y = 0; y < full.Height(); ++y)
        for (int x = 0; x < full.Width(); ++x)
            letterbox += !picture.Contains(x, y) && full.At(x, y) != kBackground;
    EXPECT_EQ(letterbox, 0) << "pixels around the picture that are not the background";
    EXPECT_EQ(MixedBlocks(full, Scaled(kPlayField, kLeft, kTop)), 0);

    ASSERT_TRUE(X().Tap("F11"));
    ASSERT_TRUE(MainIs(kWide, kHigh)) << "F11 again did not bring the window back";
    WaitForPicture([](const Image& i) { return i.Width() == kWide && PlayAt(i); },
                   "the play field filling the window again");

    ASSERT_TRUE(X().KeyDown("Alt_L"));
    const bool tapped = X().Tap("Return");
    ASSERT_TRUE(X().KeyUp("Alt_L"));
    ASSERT_TRUE(tapped);
    ASSERT_TRUE(MainIs(2560, 1600)) << "Alt+Enter did not make the window fullscreen";
    WaitForPicture([](const Image& i) { return i.Width() == 2560 && PlayAt(i, kLeft, kTop); },
                   "the game still in play, fullscreen");
    QuitWithEscape();
}

}  // namespace
}  // namespace vorlax::e2e
