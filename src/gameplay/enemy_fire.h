#pragma once

namespace vorlax {

// Launches a shot from the final-wave enemy FiringEnemy.
void EnemyFire();

// Tests the enemy shots in flight against the ship.
void EnemyShotsHitShip();

}  // namespace vorlax
