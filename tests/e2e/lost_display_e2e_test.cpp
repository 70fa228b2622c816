// The X server going away under a running game, as when the desktop session
// ends: the game must end by itself, at once, with an error status and one
// line on stderr, whatever it was doing. Losing the connection is a race with
// whatever the game is sending at that moment, so each case is tried several
// times, half with a server that shuts down in order and half with one that
// simply vanishes.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <string>

#include "e2e/e2e_fixture.h"

namespace vorlax::e2e {
namespace {

constexpr int kRounds = 4;
constexpr milliseconds kGoneWithin{2000};

class E2ELostDisplay : public GameOnXvfb {};

TEST_F(E2ELostDisplay, OnTheTitleScreenInPlayAndUnderTheHelpWindowTheGameEndsAtOnce) {
    for (const std::string where : {"the title screen", "play", "the help window"}) {
        for (int round = 0; round < kRounds; ++round) {
            SCOPED_TRACE(where + ", round " + std::to_string(round + 1));
            NewServer();
            ASSERT_TRUE(StartOnTitle());
            if (where == "play") {
                ASSERT_TRUE(Tap("F2"));
                WaitForPicture(StripShown, "the head-up strip");
            } else if (where == "the help window") {
                ASSERT_TRUE(Tap("F1"));
                ASSERT_NE(WaitForWindow("Help / Controls"), 0u) << "the help window did not open";
            }
            const int signal = round % 2 == 0 ? SIGTERM : SIGKILL;
            ASSERT_TRUE(StopServer(signal)) << "the X server would not stop";
            const std::optional<int> status = Game().WaitExit(kGoneWithin);
            ASSERT_TRUE(status.has_value())
                << "the game still ran " << kGoneWithin.count() << " ms after the X server went";
            EXPECT_NE(*status, 0) << "a lost display is no normal end";
            EXPECT_LT(*status, 128) << "ended by a signal, not by itself";
            const std::string err = GameStderr();
            EXPECT_NE(err.find("lost the connection to the display"), std::string::npos) << err;
            EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << "one line: " << err;
        }
    }
}

}  // namespace
}  // namespace vorlax::e2e
