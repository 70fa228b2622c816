// A fixture for the end of a game and the high-score window: the play
// fixture with a known table in memory and on disk.
#pragma once

#include <string>

#include "scores/high_score_file.h"
#include "scores/score_form.h"
#include "support/play_fixture.h"

namespace vorlax::testing {

class ScoreTest : public PlayTest {
  protected:
    // Rank r holds 1100 - 100 r (1000 down to 100) and the name "N<r>",
    // unless `scores` says otherwise; the file holds the same.
    explicit ScoreTest(std::initializer_list<Long> scores = {}) {
        // A game these tests do not stop fails in seconds instead of hanging.
        platform.SetYieldLimit(20000);
        int r = 1;
        for (Long s : scores) G.HighScores[r++] = s;
        for (; r <= kHighScoreRanks; ++r) G.HighScores[r] = 1100 - 100 * r;
        for (int k = 1; k <= kHighScoreRanks; ++k) G.HighNames[k] = "N" + std::to_string(k);
        folder.Write("Hiscore.txt", FormatHighScores(Table()));
    }

    // The table in memory as the file format holds it.
    static HighScoreTable Table() {
        HighScoreTable t;
        for (int k = 1; k <= kHighScoreRanks; ++k)
            t[static_cast<std::size_t>(k - 1)] = {G.HighScores[k], G.HighNames[k]};
        return t;
    }
    std::string SavedFile() const { return folder.Read("Hiscore.txt"); }
    HighScoreTable Saved() const { return ParseHighScores(SavedFile(), "Hiscore.txt"); }

    ScoreWindow& Scores() { return ScoreForm(); }
    TextBox& Name(int rank) { return *Scores().NameText[static_cast<std::size_t>(rank - 1)]; }
    Label& ScoreRow(int rank) { return *Scores().ScoreLabel[static_cast<std::size_t>(rank - 1)]; }

    // Plays a game that ends with `score`: the last ship is already gone, so
    // the first frame after F2 finds the game over.
    void EndGameWith(Long score) {
        G.Score = score;
        G.CurrentShip = G.ShipsEarned + 1;
        platform.QueueKeyDown(VK_F2);
        platform.DoEvents();
    }
    void Type(const std::string& text) {
        platform.QueueText(text);
        platform.DoEvents();
    }
    void Press(int key) {
        platform.QueueKeyDown(key);
        platform.DoEvents();
    }
    bool OnTitleScreen() {
        return Display().Label1->Visible() && Display().Label4->Visible() &&
               !Display().Text7->Visible();
    }
};

}  // namespace vorlax::testing
