// Whole numbers from reals, and elapsed time between tick readings.
#pragma once

#include <cstdint>

#include "core/types.h"

namespace vorlax {

// The whole number nearest to x, a tie going to the even neighbour:
// Nearest(2.5) = 2, Nearest(3.5) = 4, Nearest(-2.5) = -2. Every real that the
// game stores into a Long goes through here unless it is truncated on purpose.
// Values beyond the Long range saturate instead of overflowing.
Long Nearest(double x);

// Milliseconds from tick reading `then` to reading `now`, as a signed 32-bit
// difference: correct across the counter's wrap, and negative ("not yet")
// when `now` reads below `then`.
constexpr Long TickDiff(Long now, Long then) {
    return static_cast<Long>(static_cast<std::uint32_t>(now) - static_cast<std::uint32_t>(then));
}

}  // namespace vorlax
