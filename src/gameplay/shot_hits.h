#pragma once

namespace vorlax {

// Tests the player's shots against the enemies and scores the hits.
void ShotsHitEnemies();

}  // namespace vorlax
