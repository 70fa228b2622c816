#include "gameplay/enemy_fire.h"

namespace vorlax {

// Not in the game yet: the frame loop already calls them in their places.
void EnemyFire() {}
void EnemyShotsHitShip() {}

}  // namespace vorlax
