// The real game's windows on a private X server, where no window manager
// hands the keyboard back: the help window takes the focus when F1 shows it,
// and whether Esc or its close box hides it, on the title screen or in play,
// the game's window has the keys again at once and the game goes on. Esc
// and the game window's close box end the game with status 0.
#include "e2e/e2e_fixture.h"

namespace vorlax::e2e {
namespace {

class E2EWindows : public GameOnXvfb {
  protected:
    // F1, then `close` hides the help window; the game's window has the focus again.
    void ShowAndHideHelp(const std::string& close) {
        SCOPED_TRACE(close);
        ASSERT_TRUE(Tap("F1"));
        const unsigned long help = WaitForWindow("Help / Controls", 473, 466);
        ASSERT_NE(help, 0u) << "no help window appeared";
        ASSERT_TRUE(FocusOn(help)) << "the help window takes the keyboard";
        ASSERT_TRUE(close == "the close box" ? CloseBox(help) : Tap(close));
        EXPECT_TRUE(WindowGone(help));
        EXPECT_TRUE(FocusOn(MainWindow())) << "the game's window did not get the focus back";
    }
};

TEST_F(E2EWindows, HidingTheHelpWindowGivesTheKeysBackToTheGameWhichGoesOn) {
    ASSERT_TRUE(StartOnTitle());
    EXPECT_EQ(GameWindows().size(), 1u) << "only the game's window is open";
    ShowAndHideHelp("Escape");
    ASSERT_TRUE(Tap("F2"));
    WaitForPicture(StripShown, "a game started by F2 without a click");
    ShowAndHideHelp("the close box");
    ShowAndHideHelp("Escape");
    // The game goes on, and a key held down is seen as held: the shield on
    // Ctrl costs energy every frame, so the energy shown in the strip drops
    // (a lost ship would only bring it back to full).
    const auto energy = [](const Image& im) {
        std::vector<Rgb> pixels;
        for (int y = 0; y < 25; ++y)
            for (int x = 552; x < 552 + 65; ++x) pixels.push_back(im.At(x, y));
        return pixels;
    };
    const auto full = energy(WaitForPicture(StripShown, "the strip"));
    ASSERT_TRUE(KeyDown("Control_L"));
    WaitForPicture([&](const Image& im) { return StripShown(im) && energy(im) != full; },
                   "the energy dropping while Ctrl is held");
    ASSERT_TRUE(KeyUp("Control_L"));
    QuitWithEscape();

    ASSERT_TRUE(StartOnTitle());
    ASSERT_TRUE(CloseBox(MainWindow()));
    ExpectExit(0, "the close box");
}

}  // namespace
}  // namespace vorlax::e2e
