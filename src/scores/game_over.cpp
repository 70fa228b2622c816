#include "scores/game_over.h"

#include "core/game_state.h"
#include "scores/score_form.h"

namespace vorlax {

void GameOver() {
    // The first rank whose score this one beats; a score equal to a stored
    // one goes below it.
    Long rank = 0;
    for (int r = 1; r <= kHighScoreRanks; ++r) {
        if (G.Score > G.HighScores[r]) {
            rank = r;
            break;
        }
    }
    if (rank >= 1) {
        G.NewEntryRank = rank;
        // Every row from here down moves one down; the old tenth is lost.
        for (Long k = kHighScoreRanks; k >= rank; --k) {
            if (k > 1) {
                G.HighScores[k] = G.HighScores[k - 1];
                G.HighNames[k] = G.HighNames[k - 1];
            }
        }
        G.HighScores[rank] = G.Score;
    }

    // Loads the window (filling its rows) unless it is already open.
    ScoreWindow& window = ScoreForm();
    window.form.Show();
    if (G.NewEntryRank < 1 || G.NewEntryRank > kHighScoreRanks) return;
    TextBox* box = window.NameText[static_cast<std::size_t>(G.NewEntryRank - 1)];
    box->SetText("");
    box->SetEnabled(true);
    box->SetFocus();
}

}  // namespace vorlax
