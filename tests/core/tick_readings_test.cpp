#include "core/tick_readings.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace vorlax {
namespace {

// Every reading the game keeps, as pointers into `g`.
std::vector<Long*> Readings(GameState& g) {
    std::vector<Long*> all = {&g.LastFrameTick, &g.LastShotTick, &g.SpawnTick, &g.WaveEndTick};
    for (int e = 1; e <= kFiringEnemies; ++e) all.push_back(&g.EnemyLastShotTick[e]);
    return all;
}

Long Before(Long now, std::uint32_t ms) {
    return static_cast<Long>(static_cast<std::uint32_t>(now) - ms);
}

TEST(AgeTickReadings, ReadingsOlderThanTheLimitMoveUpToItAndNoOthers) {
    // Near the sign boundary and near the wrap of the counter alike.
    for (const Long now : {Long{5}, Long{0x7FFFFFF0}, static_cast<Long>(0x80000005u)}) {
        const std::uint32_t limit = static_cast<std::uint32_t>(kOldestReading);
        // Kept up to the limit, moved from one older to the oldest that still
        // reads as past; one after now (a clock that went back) kept.
        const std::pair<std::uint32_t, std::uint32_t> cases[] = {
            {2001, 2001}, {limit, limit}, {limit + 1, limit}, {0x7FFFFFFFu, limit}, {~0u, ~0u}};
        for (const auto& [age, after] : cases) {
            GameState g;
            for (Long* r : Readings(g)) *r = Before(now, age);
            AgeTickReadings(g, now);
            for (Long* r : Readings(g))
                EXPECT_EQ(*r, Before(now, after)) << "now " << now << ", age " << age;
        }
    }
}

}  // namespace
}  // namespace vorlax
