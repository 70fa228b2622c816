// The real game on a large screen (2560 x 1600) with a window manager: it
// opens at scale 2 with each pixel of its 785 x 617 field drawn as a 2 x 2
// block and its text drawn at twice the size; F11 switches to fullscreen,
// which the window manager grants, with the picture centred on the game's
// background, and back without disturbing the game.
#include <algorithm>

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

    // F11 in the help window switches the game's window; the help keeps its
    // size and the focus.
    ASSERT_TRUE(Tap("F1"));
    const unsigned long help = WaitForWindow("Help / Controls");
    ASSERT_NE(help, 0u);
    ASSERT_TRUE(FocusOn(help));
    const auto sizeOf = [this](unsigned long id) {
        for (const WindowInfo& w : Windows())
            if (w.id == id) return std::pair{w.width, w.height};
        return std::pair{0, 0};
    };
    const auto helpSize = sizeOf(help);
    ASSERT_TRUE(Tap("F11"));
    EXPECT_EQ(WaitForWindow("VORLAX", 2560, 1600), MainWindow()) << "the game's window";
    EXPECT_EQ(sizeOf(help), helpSize);
    EXPECT_TRUE(FocusOn(help));
    ASSERT_TRUE(Tap("Escape"));
    ASSERT_TRUE(FocusOn(MainWindow()));
    QuitWithEscape();
}

// Without a window manager nobody makes a window cover the screen: the game
// stays in a window, laid out for it, and says so once; a scale too large for
// the screen is lowered to the largest that fits.
class E2EBareScreen : public GameOnXvfb {};

TEST_F(E2EBareScreen, AScaleTooLargeIsLoweredAndFullscreenWithoutAWindowManagerStaysWindowed) {
    Launch({}, {}, {"--scale", "8", "--fullscreen"});
    ASSERT_TRUE(WaitForMainWindow(kClientWidth, kClientHeight)) << "scale 1 on 1024 x 768";
    WaitForPicture(TitleDrawn, "the whole title screen in the window");
    ASSERT_TRUE(Tap("F11"));
    ASSERT_TRUE(Tap("F2"));
    WaitForPicture(StripShown, "the game laid out for its window after F11");
    QuitWithEscape();
    const std::string err = GameStderr();
    EXPECT_NE(err.find("--scale 8 does not fit the 1024 x 768 desktop; using --scale 1"),
              std::string::npos)
        << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 2) << "the fullscreen line once: " << err;
}

}  // namespace
}  // namespace vorlax::e2e
