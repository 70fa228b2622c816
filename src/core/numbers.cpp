#include "core/numbers.h"

#include <cmath>
#include <limits>

namespace vorlax {

Long Nearest(double x) {
    if (std::isnan(x)) return 0;
    double lower = std::floor(x);
    double fraction = x - lower;
    double whole = lower;
    if (fraction > 0.5) {
        whole = lower + 1.0;
    } else if (fraction == 0.5) {
        // A tie goes to the even neighbour.
        whole = (std::fmod(lower, 2.0) == 0.0) ? lower : lower + 1.0;
    }
    constexpr double lo = std::numeric_limits<Long>::min();
    constexpr double hi = std::numeric_limits<Long>::max();
    if (whole <= lo) return std::numeric_limits<Long>::min();
    if (whole >= hi) return std::numeric_limits<Long>::max();
    return static_cast<Long>(whole);
}

}  // namespace vorlax
