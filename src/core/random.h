// The game's random numbers: one generator for the whole process.
#pragma once

#include <cstdint>

#include "core/types.h"

namespace vorlax {

// One uniform draw in [0, 1) with single precision; never 1.0.
float RandomDraw();

// Mixes the tick counter into the generator's state (under the headless
// platform that is the virtual clock).
void Reseed();

// Puts the generator back as it is at program start, where a replay, which
// holds only the timer's readings, begins.
void RestartRandom();

// The timer Reseed reads. The platform layer points it at its tick counter
// when a platform is set; without one Reseed mixes in 0.
using ReseedTimer = std::uint32_t (*)();
void SetReseedTimer(ReseedTimer timer);

// Reseeds, draws r, and returns the largest whole number not above
// lo + (hi - lo) * r: for whole lo < hi a value in lo .. hi - 1, and lo itself
// when lo = hi.
Long RandomBetween(double lo, double hi);

}  // namespace vorlax
