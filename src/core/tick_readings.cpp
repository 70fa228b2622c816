#include "core/tick_readings.h"

#include <cstdint>

#include "core/numbers.h"

namespace vorlax {
namespace {

void Age(Long& reading, Long now) {
    if (TickDiff(now, reading) > kOldestReading)
        reading = static_cast<Long>(static_cast<std::uint32_t>(now) -
                                    static_cast<std::uint32_t>(kOldestReading));
}

}  // namespace

void AgeTickReadings(GameState& g, Long now) {
    Age(g.LastFrameTick, now);
    Age(g.LastShotTick, now);
    Age(g.SpawnTick, now);
    Age(g.WaveEndTick, now);
    for (int e = 1; e <= kFiringEnemies; ++e) Age(g.EnemyLastShotTick[e], now);
}

}  // namespace vorlax
