// The player's own high-score table for an installed game: made from the
// delivered table on the first run, kept ever after, and never at the
// delivered table's expense. Folders and copies that cannot be made stop the
// start with a message that says where and why.
#include "scores/player_table.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "core/errors.h"
#include "core/game_state.h"
#include "scores/high_scores.h"
#include "support/headless_fixture.h"
#include "support/temp_folder.h"

namespace vorlax {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;

std::string Table(const std::string& first) {
    std::string t = "900,\"" + first + "\"\r\n";
    for (int r = 2; r <= 10; ++r) t += std::to_string(1000 - 100 * r) + ",\"P\"\r\n";
    return t;
}

using InstalledTable = testing::HeadlessTest;

TEST_F(InstalledTable, TheGameReadsAndSavesThePlayersCopyAndNeverTheDeliveredTable) {
    TempFolder program, player;
    program.Write("Hiscore.txt", Table("ACE"));
    platform.SetProgramFolder(program.Path().string());
    EXPECT_EQ(HighScoreFilePath(), program.File("Hiscore.txt"));  // a game in its own folder

    platform.SetScoreFolder(player.File("vorlax"));
    ReadHighScores();
    EXPECT_EQ(G.HighNames[1], "ACE");
    G.HighNames[1] = "NEW";
    EXPECT_TRUE(SaveHighScores());
    EXPECT_EQ(player.Read("vorlax/Hiscore.txt"), Table("NEW"));
    EXPECT_EQ(program.Read("Hiscore.txt"), Table("ACE"));
    G = GameState{};
    ReadHighScores();  // the next start
    EXPECT_EQ(G.HighNames[1], "NEW");

    platform.SetScoreFolder("");
    try {
        ReadHighScores();
        ADD_FAILURE() << "started without a place to keep the scores";
    } catch (const GameError& e) {
        EXPECT_EQ(e.Number(), kErrHighScoreFile);
        EXPECT_NE(std::string(e.what()).find("XDG_DATA_HOME"), std::string::npos) << e.what();
    }
}

}  // namespace
}  // namespace vorlax
