#pragma once

namespace vorlax {

// Plays the ship's explosion and places the next ship. Counting the loss is
// the caller's part.
void LoseShip();

// What a hit (a collision or an enemy shot) does to the ship: the loss is
// counted, a formation that was due is not laid out, and LoseShip runs.
void CountLossAndLoseShip();

}  // namespace vorlax
