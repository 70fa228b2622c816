// Where the high-score table lives. A game run from its own folder keeps it
// there, beside the executable. An installed game's folder belongs to the
// system and is not the player's to write, so it keeps the table in the
// player's data folder, started from the table delivered with the game; the
// delivered table itself is never written.
#pragma once

#include <string>

namespace vorlax {

// The high-score file the game reads and writes.
std::string HighScoreFilePath();

// Makes sure the file at HighScoreFilePath() exists: for an installed game
// whose player has no table yet, makes the player's folder and copies the
// delivered table into it. Throws GameError (kErrHighScoreFile) with a message
// naming the folder or file and the reason when it cannot.
void PreparePlayerTable();

// Copies the file `delivered` to `player` when `player` does not exist yet,
// making the folders above it first (new folders are private to the player,
// as the XDG rules ask). The copy is written whole or not at all. Returns an
// empty string, or a reason fit to show the player. An existing `player` is
// never touched, whatever it holds.
std::string CopyTableIfMissing(const std::string& delivered, const std::string& player);

}  // namespace vorlax
