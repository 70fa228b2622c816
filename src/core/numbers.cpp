#include "core/numbers.h"

#include <cmath>
#include <limits>

namespace vorlax {

Long Nearest(double x) {
    if (std::isnan(x)) return 0;
    // The default rounding mode, which the game never changes, sends a tie
    // to the even neighbour.
    const double whole = std::nearbyint(x);
    constexpr double lo = std::numeric_limits<Long>::min();
    constexpr double hi = std::numeric_limits<Long>::max();
    if (whole <= lo) return std::numeric_limits<Long>::min();
    if (whole >= hi) return std::numeric_limits<Long>::max();
    return static_cast<Long>(whole);
}

}  // namespace vorlax
