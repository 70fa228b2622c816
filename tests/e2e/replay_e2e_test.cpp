// A game played with real keys under --record: --verify-replay prints the
// score the high-score table received, and --replay shows the game again in
// its window and ends by itself with status 0, the table untouched.
#include <fstream>

#include "e2e/e2e_fixture.h"

namespace vorlax::e2e {
namespace {

constexpr milliseconds kReplayLimit{120000};

class E2EReplay : public GameOnXvfb {
  protected:
    // The harness starts the game without arguments: a script adds them.
    fs::path WithArgs(const std::string& name, const std::string& args) {
        const fs::path script = Root() / name;
        std::ofstream(script) << "#!/bin/sh\nexec '" << (ProgramFolder() / "vorlax").string()
                              << "' " << args << "\n";
        fs::permissions(script, fs::perms::owner_all);
        return script;
    }
};

TEST_F(E2EReplay, ARecordedGameVerifiesToTheScoreTheTableGotAndShowsAgain) {
    const fs::path table = ProgramFolder() / "Hiscore.txt", replay = Root() / "game.rpl";
    {
        std::ofstream zeros(table, std::ios::binary);
        for (int rank = 0; rank < 10; ++rank) zeros << "0,\"Nobody\"\r\n";
    }
    ASSERT_TRUE(StartOnTitle({}, WithArgs("record", "--record '" + replay.string() + "'")));
    ASSERT_TRUE(Tap("F2"));
    WaitForPicture(StripShown, "the strip after F2");
    // Firing, and up and down through the enemies until no ship is left.
    ASSERT_TRUE(KeyDown("space"));
    unsigned long scores = 0;
    for (int sweep = 0; scores == 0 && sweep < 60; ++sweep) {
        const std::string key = sweep % 2 == 0 ? "Down" : "Up";
        ASSERT_TRUE(KeyDown(key));
        scores = WaitForWindow("High Score", 0, 0, milliseconds{1600});
        ASSERT_TRUE(KeyUp(key));
    }
    ASSERT_TRUE(KeyUp("space"));
    ASSERT_NE(scores, 0u) << "no name asked for at the end of the game";
    ASSERT_TRUE(FocusOn(scores));
    ASSERT_TRUE(Run({"xdotool", "type", "Ace"}).Ok() && Tap("Return") && Tap("Escape"));
    ASSERT_TRUE(WindowGone(scores));
    ASSERT_TRUE(FocusOn(MainWindow()));
    QuitWithEscape();
    const std::string saved = ReadFile(table);

    const CommandResult verified =
        Run({(ProgramFolder() / "vorlax").string(), "--verify-replay", replay.string()});
    EXPECT_EQ(verified.status, 0) << verified.err;
    const std::size_t score = verified.out.find(", score ");
    ASSERT_NE(score, std::string::npos) << verified.out;
    const std::string points =
        verified.out.substr(score + 8, verified.out.find(',', score + 8) - score - 8);
    // A game that hit nothing (it happens on a busy machine) enters no
    // table of zeros; any other enters it under the name typed.
    if (points == "0") {
        EXPECT_EQ(saved.find("Ace"), std::string::npos) << saved;
    } else {
        EXPECT_NE(("\n" + saved).find("\n" + points + ",\"Ace\""), std::string::npos)
            << "the replay's score " << points << " is not the table's " << saved;
    }

    Launch({}, WithArgs("replay", "--replay '" + replay.string() + "'"));
    ASSERT_TRUE(WaitForMainWindow());
    WaitForPicture(StripShown, "the recorded game shown again");
    EXPECT_EQ(WaitExit(kReplayLimit), std::optional<int>(0));
    EXPECT_EQ(ReadFile(table), saved) << "a replay never writes the table";
}

}  // namespace
}  // namespace vorlax::e2e
