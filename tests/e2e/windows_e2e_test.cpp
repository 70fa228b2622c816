// The help window of the real game on a private X server, where no window
// manager hands the keyboard back: the window takes the focus when F1 shows
// it, and whether Esc or its close box hides it, on the title screen or in
// play, the game's window has the keys again at once and the game goes on.
#include <gtest/gtest.h>

#include <string>

#include "e2e/e2e_fixture.h"

namespace vorlax::e2e {
namespace {

class E2EWindows : public GameOnXvfb {
  protected:
    // F1, then `close` hides the help window; the game's window has the focus again.
    void ShowAndHideHelp(const std::string& close) {
        SCOPED_TRACE(close);
        ASSERT_TRUE(X().Tap("F1"));
        const unsigned long help = WaitForWindow("Help / Controls", 473, 466);
        ASSERT_NE(help, 0u) << "no help window appeared";
        ASSERT_TRUE(FocusOn(help)) << "the help window takes the keyboard";
        ASSERT_TRUE(close == "the close box" ? X().CloseBox(help) : X().Tap(close));
        EXPECT_TRUE(WindowGone(help));
        EXPECT_TRUE(FocusOn(MainWindow())) << "the game's window did not get the focus back";
    }
};

TEST_F(E2EWindows, HidingTheHelpWindowGivesTheKeysBackToTheGameWhichGoesOn) {
    ASSERT_TRUE(StartOnTitle());
    ShowAndHideHelp("Escape");
    ASSERT_TRUE(X().Tap("F2"));
    WaitForPicture(StripShown, "a game started by F2 without a click");
    ShowAndHideHelp("the close box");
    ShowAndHideHelp("Escape");
    // The game goes on: its picture keeps changing, and Esc now ends it.
    const Image before = Capture();
    WaitForPicture([&](const Image& im) { return StripShown(im) && !(im == before); },
                   "the game still moving");
    EXPECT_TRUE(Game().Running()) << "the Esc for the help window ended the game";
    QuitWithEscape();
}

}  // namespace
}  // namespace vorlax::e2e
