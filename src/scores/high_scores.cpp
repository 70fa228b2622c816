#include "scores/high_scores.h"

#include "core/game_state.h"
#include "graphics/display_form.h"
#include "platform/platform.h"
#include "scores/high_score_file.h"
#include "scores/player_table.h"

namespace vorlax {

void ReadHighScores() {
    PreparePlayerTable();
    HighScoreTable table = ReadHighScoreFile(HighScoreFilePath());
    for (int rank = 1; rank <= kHighScoreRanks; ++rank) {
        G.HighScores[rank] = table[static_cast<std::size_t>(rank - 1)].score;
        G.HighNames[rank] = table[static_cast<std::size_t>(rank - 1)].name;
    }
}

std::string SaveHighScoresQuietly() {
    HighScoreTable table;
    for (int rank = 1; rank <= kHighScoreRanks; ++rank) {
        table[static_cast<std::size_t>(rank - 1)] = {G.HighScores[rank], G.HighNames[rank]};
    }
    return WriteHighScoreFile(HighScoreFilePath(), table);
}

bool SaveHighScores() {
    const std::string problem = SaveHighScoresQuietly();
    if (problem.empty()) return true;
    CurrentPlatform().MessageBox(problem, kGameCaption);
    return false;
}

}  // namespace vorlax
