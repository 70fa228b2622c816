// The end of a game: where a score enters the table, how the rows move, and
// the high-score window opened for the new name.
#include "scores/game_over.h"

#include <gtest/gtest.h>

#include "scores/score_fixture.h"

namespace vorlax {
namespace {

class GameOverTest : public testing::ScoreTest {
  protected:
    // Scores and names of ranks 1..10 as "score name" lines, for readable failures.
    static std::vector<std::string> Rows() {
        std::vector<std::string> rows;
        for (int k = 1; k <= kHighScoreRanks; ++k)
            rows.push_back(std::to_string(G.HighScores[k]) + " " + G.HighNames[k]);
        return rows;
    }
    // The window is up with the entry box of `rank` cleared, enabled and
    // focused, and no other row taking typing.
    void ExpectEntryOpenAt(int rank) {
        EXPECT_EQ(G.NewEntryRank, rank);
        EXPECT_EQ(platform.ActiveForm(), &Scores().form);
        for (int k = 1; k <= kHighScoreRanks; ++k) {
            EXPECT_EQ(Name(k).Enabled(), k == rank) << "row " << k;
            EXPECT_EQ(Name(k).HasFocus(), k == rank) << "row " << k;
        }
        EXPECT_EQ(Name(rank).Text(), "");
    }
};

TEST_F(GameOverTest, AScoreEqualToAStoredOneGoesBelowItAndTheWindowShowsTheNewTable) {
    G.HighNames[2] = "a, \"b\" ";
    EndGameWith(800);  // rank 3 holds 800, rank 4 700
    ExpectEntryOpenAt(4);
    EXPECT_EQ(Rows(),
              (std::vector<std::string>{"1000 N1", "900 a, \"b\" ", "800 N3", "800 N3", "700 N4",
                                        "600 N5", "500 N6", "400 N7", "300 N8", "200 N9"}));
    EXPECT_EQ(ScoreRow(4).Caption(), "800");
    EXPECT_EQ(ScoreRow(10).Caption(), "200");
    EXPECT_EQ(Name(2).Text(), "a, \"b\" ");
    EXPECT_EQ(Name(5).Text(), "N4");
}

}  // namespace
}  // namespace vorlax
