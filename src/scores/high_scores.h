// The top-ten table in the game state and its file beside the executable.
#pragma once

namespace vorlax {

// Reads "Hiscore.txt" from the program folder into HighScores and HighNames.
// Throws GameError (naming the file and record) when it cannot.
void ReadHighScores();

// Writes HighScores and HighNames to "Hiscore.txt", replacing the file
// atomically. If that fails, a message box says so and why; the table in
// memory and the old file stay as they were. Returns whether it was saved.
bool SaveHighScores();

}  // namespace vorlax
