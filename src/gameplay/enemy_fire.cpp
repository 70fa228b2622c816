#include "gameplay/enemy_fire.h"

#include "core/game_state.h"
#include "core/numbers.h"
#include "gameplay/player_loss.h"
#include "platform/platform.h"

namespace vorlax {
namespace {

constexpr Long kFireSpacingMs = 300;  // an enemy fires at most once per 301 ms

}  // namespace

void EnemyFire() {
    const int e = G.FiringEnemy;
    if (e < 1 || e > kFiringEnemies) return;
    if (TickDiff(TickCount(), G.EnemyLastShotTick[e]) <= kFireSpacingMs) return;
    for (int k = 1; k <= kEnemyShotSlots; ++k) {
        if (G.EnemyShotActive(e, k) != False) continue;
        // From the enemy's nose, a third of the way down.
        const double w = G.EnemyWidth[G.Wave];
        const double h = G.EnemyHeight[G.Wave];
        G.EnemyShotActive(e, k) = True;
        G.EnemyShotX(e, k) = Nearest(0.9 * w + G.EnemyX[e]);
        G.EnemyShotY(e, k) = Nearest(0.35 * h + G.EnemyY[e]);
        break;
    }
    // Renewed even when every slot was busy, so a full enemy waits again.
    G.EnemyLastShotTick[e] = TickCount();
}

void EnemyShotsHitShip() {
    for (int e = 1; e <= kFiringEnemies; ++e) {
        for (int k = 1; k <= kEnemyShotSlots; ++k) {
            if (G.EnemyShotActive(e, k) != True) continue;
            // The shot's top-left corner strictly inside the ship's box; a
            // raised shield lets it fly on through.
            const Long x = G.EnemyShotX(e, k), y = G.EnemyShotY(e, k);
            if (x < G.ShipX + kShipWidth && x > G.ShipX && y < G.ShipY + kShipHeight &&
                y > G.ShipY && G.ShieldOn == False) {
                CountLossAndLoseShip();
                G.EnemyShotActive(e, k) = False;
            }
        }
    }
}

}  // namespace vorlax
