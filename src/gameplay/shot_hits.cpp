#include "gameplay/shot_hits.h"

#include <algorithm>

#include "core/game_state.h"

namespace vorlax {
namespace {

constexpr Long kMostPointsPerEnemy = 100;  // waves 1 to 10; the final wave pays more
constexpr Long kArmour = 5;                // a final-wave enemy falls when its hits pass this

void Award(Long points) {
    G.Score += points;
    G.BonusPoints += points;
}

}  // namespace

void ShotsHitEnemies() {
    const Long w = G.EnemyWidth[G.Wave];
    const Long h = G.EnemyHeight[G.Wave];
    for (int s = 1; s <= kShotSlots; ++s) {
        if (G.ShotActive[s] != True) continue;
        // Only the shot's top-left corner counts, and only strictly inside a
        // box. A shot that has hit goes on through the other enemies in this
        // pass, so one shot can bring down enemies that overlap.
        const Long x = G.ShotX[s];
        const Long y = G.ShotY[s];
        for (int i = 1; i <= G.EnemyCount; ++i) {
            if (G.EnemyAlive[i] != -1) continue;
            const bool hit =
                x < G.EnemyX[i] + w && x > G.EnemyX[i] && y < G.EnemyY[i] + h && y > G.EnemyY[i];
            if (hit && G.Wave != kFinalWave) {
                G.EnemyAlive[i] = 0;
                G.ShotActive[s] = False;
                Award(std::min(10 * G.Wave * G.Level, kMostPointsPerEnemy));
                G.EnemyBlast[i] = 1;
            } else if (hit) {
                // The final wave's armour: each hit takes off a ring.
                G.EnemyHits[i] += 1;
                G.ShotActive[s] = False;
            }
            if (G.EnemyHits[i] > kArmour && G.Wave == kFinalWave) {
                G.EnemyAlive[i] = 0;
                G.EnemyBlast[i] = 1;
                Award(10 * G.Level * G.Wave);
            }
        }
    }
}

}  // namespace vorlax
