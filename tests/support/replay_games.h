// Whole games recorded and played back on the headless platform, for the
// replay tests: a scripted pilot, a checksum of the game state after each
// frame, and the runs that collect them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "game/replays.h"

namespace vorlax::testing {

// A checksum of the game state (ship, shots, enemies, carrier, stars, score)
// and of which of the help and high-score windows are shown.
std::uint64_t StateSum();

struct PlayedGame {
    std::vector<std::uint64_t> sums;  // after each frame
    ReplayResult end;                 // as the last frame left it
    bool docked = false;              // refuelled in the carrier's bay
    std::string table;                // the high scores the game ended with
};

// Plays one game in the assets' folder `folder` (its Hiscore.txt as the
// table) and records it to `replayPath`, with a pause and the help window
// opened and closed during play. The pilot fires at the nearest enemy's row,
// shields now and then, calls the carrier after the first wave and docks in
// its bay; after `budget` frames it flies into the enemies until the game is
// over, enters a name and closes the window.
PlayedGame RecordPilotedGame(const std::string& folder, const std::string& replayPath, int budget);

// Plays `replay` back as --verify-replay does.
PlayedGame PlayBack(replay::Replay replay);

}  // namespace vorlax::testing
