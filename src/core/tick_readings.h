// The tick readings the game keeps between frames (the last frame, the last
// shot of the ship and of each firing enemy, the spawn of the ship, the end
// of a wave), and how they are kept meaningful whatever the idle time.
#pragma once

#include "core/game_state.h"
#include "core/types.h"

namespace vorlax {

// Elapsed time is the signed 32-bit difference of two readings, which is
// right across the counter's wrap but turns negative ("not yet") once a
// reading is more than 2^31 ms (24.8 days) old. Every timed rule asks whether
// more than some span of at most a few seconds has passed, so a reading this
// old says the same as any older one, and readings are never left older.
inline constexpr Long kOldestReading = Long{1} << 30;  // about 12.4 days

// Moves each stored reading of `g` that lies more than kOldestReading before
// `now` forward to exactly kOldestReading before it. A reading after `now`
// (a clock that went back) is left as it is.
void AgeTickReadings(GameState& g, Long now);

}  // namespace vorlax
