// The real game on a large screen (2560 x 1600) with a window manager: it
// opens at scale 2 with each pixel of its 785 x 617 field drawn as a 2 x 2
// block and its text drawn at twice the size; F11 switches to fullscreen,
// which the window manager grants, with the picture centred on the game's
// background, and back without disturbing the game.
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
    for (int y = area.y; y + kScale <= area.y + area.h; y += kScale)
        for (int x = area.x; x + kScale <= area.x + area.w; x += kScale) {
            const Rgb c = image.At(x, y);
            mixed +=
                image.At(x + 1, y) != c || image.At(x, y + 1) != c || image.At(x + 1, y + 1) != c;
        }
    return mixed;
}

class E2EScaling : public GameOnXvfb {
  protected:
    E2EScaling() {
        screenWidth_ = 2560, screenHeight_ = 1600;
        windowManager_ = true;  // fullscreen is the window manager's to grant
    }
};

TEST_F(E2EScaling, OpensAtScaleTwoAndF11SwitchesFullscreenAndBackDuringPlay) {
    Launch();
    ASSERT_TRUE(WaitForMainWindow(kWide, kHigh));
    const Image title =
        WaitForPicture([](const Image& i) { return i.Count(Scaled(kTitle), kYellow) > 4000; },
                       "the yellow title at twice its size");
    // The letters are drawn at the larger size, not enlarged: their
    // anti-aliased edges run through the 2 x 2 blocks.
    EXPECT_GT(MixedBlocks(title, Scaled(kTitle)), 200);

    ASSERT_TRUE(Tap("F2"));
    const Image play = WaitForPicture([](const Image& i) { return PlayAt(i); },
                                      "the strip and its separator at twice their size");
    // The play field below the separator: every logical pixel one uniform block.
    EXPECT_EQ(MixedBlocks(play, Scaled(kPlayField)), 0);
    EXPECT_GT(play.Count(Scaled(kPlayField), kWhite), 20 * kScale * kScale) << "stars";

    // Fullscreen on 2560 x 1600: still scale 2 (the height allows no more),
    // centred, the rest the game's background.
    ASSERT_TRUE(Tap("F11"));
    ASSERT_EQ(WaitForWindow("VORLAX", 2560, 1600), MainWindow()) << "F11 made it no fullscreen";
    const Image full =
        WaitForPicture([](const Image& i) { return i.width == 2560 && PlayAt(i, kLeft, kTop); },
                       "the play field at scale 2 in the middle of the screen");
    const Rect picture{kLeft, kTop, kWide, kHigh};
    EXPECT_EQ(full.Count({0, 0, 2560, 1600}, [](Rgb c) { return c != kBackground; }),
              full.Count(picture, [](Rgb c) { return c != kBackground; }))
        << "pixels around the picture that are not the background";
    EXPECT_EQ(MixedBlocks(full, Scaled(kPlayField, kLeft, kTop)), 0);

    ASSERT_TRUE(Tap("F11"));
    ASSERT_EQ(WaitForWindow("VORLAX", kWide, kHigh), MainWindow()) << "F11 again did not end it";
    WaitForPicture([](const Image& i) { return i.width == kWide && PlayAt(i); },
                   "the play field filling the window again");
    QuitWithEscape();
}

}  // namespace
}  // namespace vorlax::e2e
