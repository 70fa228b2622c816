#include "core/random.h"

#include <cmath>

namespace vorlax {
namespace {

constexpr std::uint64_t kStartState = 0x853C49E6748FEA9BULL;
std::uint64_t state = kStartState;
ReseedTimer timer = nullptr;

// splitmix64: tiny, fast and well mixed, which is all a star field and a
// formation need.
std::uint64_t Next() {
    state += 0x9E3779B97F4A7C15ULL;
    std::uint64_t z = state;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

}  // namespace

float RandomDraw() {
    // 24 random bits fill a float's mantissa exactly: the largest draw is
    // 1 - 2^-24, so the value can never round up to 1.0.
    constexpr float scale = 1.0f / 16777216.0f;
    return static_cast<float>(Next() >> 40) * scale;
}

void RestartRandom() {
    state = kStartState;
}

void SetReseedTimer(ReseedTimer t) {
    timer = t;
}

void Reseed() {
    // The timer is mixed into the running state rather than replacing it:
    // several reseeds within one millisecond (a formation draws one drift per
    // enemy in the same frame) must still give different draws.
    state = Next() ^ (timer != nullptr ? timer() : 0u);
}

Long RandomBetween(double lo, double hi) {
    Reseed();
    double r = RandomDraw();
    return static_cast<Long>(std::floor(lo + (hi - lo) * r));
}

}  // namespace vorlax
