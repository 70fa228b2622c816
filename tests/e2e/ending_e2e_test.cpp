// The game ended from outside. SIGTERM, SIGINT and SIGHUP (a session ending,
// Ctrl+C in a terminal, a closed terminal) end it cleanly, with status 0 and no window left,
// wherever it is: on the title screen, in play with the high-score table open (which is saved
// first), and while a failed start-up's message box waits for an answer. The X server going away
// under it, as when the desktop session ends, makes it end by itself, at once, with an error status
// and one line on stderr, whatever it was doing; an open high-score table is saved first. Losing
// the connection is a race with whatever the game is sending at that moment, so each case is tried
// several times, half with a server that shuts down in order and half with one that simply
// vanishes.
#include <signal.h>

#include <algorithm>

#include "e2e/e2e_fixture.h"

namespace vorlax::e2e {
namespace {

class E2ESignals : public GameOnXvfb {
  protected:
    void ExpectCleanEnd(int signal, const std::string& where) {
        ASSERT_TRUE(SignalGame(signal)) << "the game ended before the signal " << where;
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

    // A hang-up (a closed terminal) is taken as SIGTERM, not as a sudden death.
    ASSERT_TRUE(StartOnTitle());
    ASSERT_TRUE(Tap("F3"));
    ASSERT_NE(WaitForWindow("High Score"), 0u) << "F3 opened no high-score window";
    fs::remove(file);
    ExpectCleanEnd(SIGHUP, "with the table open");
    EXPECT_EQ(ReadFile(file), table) << "saved on a hang-up too";

    // The game's own message box, then whichever box the machine shows (the
    // system's where it has zenity or X core fonts).
    fs::remove(ProgramFolder() / "Ship.bmp");
    for (const bool own : {true, false}) {
        Launch({own ? "VORLAX_OWN_MESSAGE_BOX=1" : "VORLAX_OWN_MESSAGE_BOX="});
        ASSERT_NE(WaitForWindow("VORLAX"), 0u) << "no message box";
        ExpectCleanEnd(own ? SIGTERM : SIGINT, "with a message box open");
    }
}

constexpr milliseconds kGoneWithin{2000};

class E2ELostDisplay : public GameOnXvfb {};

TEST_F(E2ELostDisplay, OnTheTitleScreenInPlayAndUnderTheHelpWindowTheGameEndsAtOnce) {
    const fs::path file = ProgramFolder() / "Hiscore.txt";
    const std::string table = ReadFile(file);
    for (const std::string where :
         {"the title screen", "play", "the help window", "the high-score window"}) {
        for (int round = 0; round < 4; ++round) {
            SCOPED_TRACE(where + ", round " + std::to_string(round + 1));
            NewServer();
            ASSERT_TRUE(StartOnTitle());
            const bool scores = where == "the high-score window";
            ASSERT_TRUE(where == "the title screen" || Tap(where == "play" ? "F2"
                                                           : scores        ? "F3"
                                                                           : "F1"));
            if (where == "play") WaitForPicture(StripShown, "the head-up strip");
            ASSERT_TRUE(where != "the help window" || WaitForWindow("Help / Controls") != 0);
            ASSERT_TRUE(!scores || WaitForWindow("High Score") != 0);
            if (scores) fs::remove(file);
            const int signal = round % 2 == 0 ? SIGTERM : SIGKILL;
            ASSERT_TRUE(StopServer(signal)) << "the X server would not stop";
            const std::optional<int> status = WaitExit(kGoneWithin);
            ASSERT_TRUE(status.has_value())
                << "the game still ran " << kGoneWithin.count() << " ms after the X server went";
            EXPECT_NE(*status, 0) << "a lost display is no normal end";
            EXPECT_LT(*status, 128) << "ended by a signal, not by itself";
            const std::string err = GameStderr();
            EXPECT_NE(err.find("lost the connection to the display"), std::string::npos) << err;
            EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << "one line: " << err;
            // The table needs no display: an open one is written before the end.
            if (scores) {
                EXPECT_EQ(ReadFile(file), table) << "the open table was not saved";
            }
        }
    }
}

}  // namespace
}  // namespace vorlax::e2e
