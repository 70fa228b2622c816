// SIGTERM and SIGINT (a session ending, Ctrl+C in a terminal) end the real
// game cleanly, with status 0 and no window left, wherever it is: on the
// title screen, in play with the high-score table open (which is saved
// first), and while a failed start-up's message box waits for an answer.
#include <gtest/gtest.h>
#include <signal.h>

#include <string>

#include "e2e/e2e_fixture.h"

namespace vorlax::e2e {
namespace {

class E2ESignals : public GameOnXvfb {
  protected:
    void ExpectCleanEnd(int signal, const std::string& where) {
        ASSERT_TRUE(Game().Signal(signal)) << "the game ended before the signal " << where;
        ExpectExit(0, "signal " + std::to_string(signal) + " " + where);
    }
};

TEST_F(E2ESignals, EitherSignalEndsTheGameWithStatusZeroWhereverItIs) {
    ASSERT_TRUE(StartOnTitle());
    ExpectCleanEnd(SIGTERM, "on the title screen");

    const fs::path file = ProgramFolder() / "Hiscore.txt";
    const std::string table = ReadFile(file);
    ASSERT_FALSE(table.empty());
    ASSERT_TRUE(StartOnTitle());
    ASSERT_TRUE(Tap("F2"));
    WaitForPicture(StripShown, "the head-up strip after F2");
    ASSERT_TRUE(Tap("F3"));
    ASSERT_NE(WaitForWindow("High Score"), 0u) << "F3 opened no high-score window";
    fs::remove(file);
    ExpectCleanEnd(SIGINT, "in play with the table open");
    EXPECT_EQ(ReadFile(file), table) << "the open table is saved on the way out";

    // The game's own message box, then whichever box the machine shows (the
    // system's where it has zenity or X core fonts).
    fs::remove(ProgramFolder() / "Ship.bmp");
    for (const bool own : {true, false}) {
        Launch({.executable = {},
                .args = {},
                .env = {own ? "VORLAX_OWN_MESSAGE_BOX=1" : "VORLAX_OWN_MESSAGE_BOX="}});
        ASSERT_NE(WaitForWindow("VORLAX"), 0u) << "no message box";
        ExpectCleanEnd(own ? SIGTERM : SIGINT, "with a message box open");
    }
}

}  // namespace
}  // namespace vorlax::e2e
