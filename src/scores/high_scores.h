// The top-ten table in the game state and its file (beside the executable, or
// the player's copy for an installed game: player_table.h).
#pragma once

#include <string>

namespace vorlax {

// Reads "Hiscore.txt" into HighScores and HighNames, first making the
// player's copy of an installed game's table if there is none yet. Throws
// GameError (naming the file and record, or the folder) when it cannot.
void ReadHighScores();

// Writes HighScores and HighNames to "Hiscore.txt", replacing the file
// atomically. If that fails, a message box says so and why; the table in
// memory and the old file stay as they were. Returns whether it was saved.
bool SaveHighScores();

// Writes the table as SaveHighScores does, without any window: for when the
// display is gone. Returns the reason it could not, or "".
std::string SaveHighScoresQuietly();

}  // namespace vorlax
