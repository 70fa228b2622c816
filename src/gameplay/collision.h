#pragma once

namespace vorlax {

// Tests the ship pixel by pixel against the carrier or the enemies.
void CheckShipCollision();

}  // namespace vorlax
