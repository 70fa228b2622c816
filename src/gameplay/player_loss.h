#pragma once

namespace vorlax {

// Plays the ship's explosion and places the next ship.
void LoseShip();

}  // namespace vorlax
