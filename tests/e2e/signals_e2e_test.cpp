// SIGTERM and SIGINT (a session ending, Ctrl+C in a terminal) end the real
// game cleanly, with status 0 and no window left, wherever it is: on the
// title screen, in play, and while a message box waits for an answer.
#include <gtest/gtest.h>
#include <signal.h>

#include <string>

#include "e2e/e2e_fixture.h"

namespace vorlax::e2e {
namespace {

bool TitleDrawn(const Image& image) {
    return image.Width() == kClientWidth && image.Count({184, 48, 417, 105}, kYellow) > 1000;
}

bool StripShown(const Image& image) {
    return image.Width() == kClientWidth &&
           image.Count({0, 25, kClientWidth, 1}, kWhite) == kClientWidth;
}

class E2ESignals : public GameOnXvfb {
  protected:
    void ExpectCleanEnd(int signal) {
        ASSERT_TRUE(Game().Signal(signal));
        const std::optional<int> status = WaitExit();
        ASSERT_TRUE(status.has_value()) << "the game did not end on signal " << signal;
        EXPECT_EQ(*status, 0);
        EXPECT_TRUE(NoGameWindowLeft());
    }

    // A failed start-up's message box, up and waiting.
    void WaitForTheBox() {
        ASSERT_TRUE(WaitUntil(
            [&] {
                for (const WindowInfo& w : GameWindows())
                    if (X().IsViewable(w.id)) return true;
                return !Game().Running();
            },
            kStartLimit, milliseconds{50}));
        ASSERT_TRUE(Game().Running()) << "the game ended without waiting for an answer";
    }
};

TEST_F(E2ESignals, OnTheTitleScreenSigtermQuits) {
    Launch();
    ASSERT_TRUE(WaitForMainWindow());
    WaitForPicture(TitleDrawn, "the title screen");
    ExpectCleanEnd(SIGTERM);
}

TEST_F(E2ESignals, InPlaySigintQuits) {
    Launch();
    ASSERT_TRUE(WaitForMainWindow());
    WaitForPicture(TitleDrawn, "the title screen");
    ASSERT_TRUE(X().Tap("F2"));
    WaitForPicture(StripShown, "the head-up strip");
    ExpectCleanEnd(SIGINT);
}

TEST_F(E2ESignals, WithAMessageBoxOpenEitherSignalQuits) {
    Folder().Remove("Ship.bmp");
    // The game's own window, then whichever box the machine shows (the
    // system's where it has zenity or X core fonts).
    Launch({.executable = {}, .args = {}, .env = {"VORLAX_OWN_MESSAGE_BOX=1"}});
    WaitForTheBox();
    ExpectCleanEnd(SIGTERM);
    Launch();
    WaitForTheBox();
    ExpectCleanEnd(SIGINT);
}

}  // namespace
}  // namespace vorlax::e2e
