// The X server going away under a running game, as when the desktop session
// ends: the game must end by itself, at once, with an error status and one
// line on stderr, whatever it was doing. Losing the connection is a race with
// whatever the game is sending at that moment, so each case is tried several
// times, half with a server that shuts down in order and half with one that
// simply vanishes.
#include <gtest/gtest.h>
#include <signal.h>

#include <functional>
#include <string>

#include "e2e/e2e_fixture.h"

namespace vorlax::e2e {
namespace {

// Rounds per case: enough to meet the race more than once, few enough to
// keep `make test` quick.
constexpr int kRounds = 4;
constexpr milliseconds kGoneWithin{2000};

bool TitleDrawn(const Image& image) {
    return image.Width() == kClientWidth && image.Count({184, 48, 417, 105}, kYellow) > 1000;
}

bool StripShown(const Image& image) {
    return image.Width() == kClientWidth &&
           image.Count({0, 25, kClientWidth, 1}, kWhite) == kClientWidth;
}

class E2ELostDisplay : public GameOnXvfb {
  protected:
    // Starts the game, brings it where `getThere` leaves it, stops the server
    // and checks how the game ends; `kRounds` times, each on a fresh server.
    void EndsWhenTheServerGoes(const std::function<void()>& getThere) {
        for (int round = 0; round < kRounds; ++round) {
            SCOPED_TRACE("round " + std::to_string(round + 1));
            if (round > 0) NewServer();
            Launch();
            ASSERT_TRUE(WaitForMainWindow()) << "no game window";
            WaitForPicture(TitleDrawn, "the title screen");
            getThere();
            if (HasFatalFailure()) return;

            const int signal = round % 2 == 0 ? SIGTERM : SIGKILL;
            ASSERT_TRUE(StopServer(signal)) << "the X server would not stop";
            const std::optional<int> status = WaitExit(kGoneWithin);
            ASSERT_TRUE(status.has_value())
                << "the game still ran " << kGoneWithin.count() << " ms after the X server "
                << (signal == SIGTERM ? "shut down" : "vanished");
            EXPECT_NE(*status, 0) << "a lost display is no normal end";
            EXPECT_LT(*status, 128) << "ended by a signal, not by itself";
            const std::string err = GameStderr();
            EXPECT_NE(err.find("lost the connection to the display"), std::string::npos)
                << "stderr says: " << err;
            EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1)
                << "one line; stderr says: " << err;
        }
    }
};

TEST_F(E2ELostDisplay, OnTheTitleScreenTheGameEndsAtOnce) {
    EndsWhenTheServerGoes([] {});
}

TEST_F(E2ELostDisplay, InPlayTheGameEndsAtOnce) {
    EndsWhenTheServerGoes([&] {
        ASSERT_TRUE(X().Tap("F2"));
        WaitForPicture(StripShown, "the head-up strip");
    });
}

TEST_F(E2ELostDisplay, WithTheHelpWindowOpenTheGameEndsAtOnce) {
    EndsWhenTheServerGoes([&] {
        ASSERT_TRUE(X().Tap("F1"));
        ASSERT_TRUE(WaitUntil(
            [&] {
                for (const WindowInfo& w : X().WindowsTitled("Help / Controls"))
                    if (X().IsViewable(w.id)) return true;
                return false;
            },
            kScreenLimit, milliseconds{50}))
            << "the help window did not open";
    });
}

}  // namespace
}  // namespace vorlax::e2e
