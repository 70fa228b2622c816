// The player's ship: moving, firing and the spawn shield.
#pragma once

namespace vorlax {

// Moves the ship by the held arrow keys and keeps it inside the play field
// (below the head-up strip); the upper limits are applied last.
void MoveShip();

// Fires a shot from the ship's nose into the lowest free slot, at most one
// every 301 ms, costing one unit of energy. Nothing is fired while the
// carrier is on screen, without energy or with all five slots busy, but the
// attempt still restarts the spacing.
void FireShot();

// Drops the spawn shield once more than 2000 ms have passed since the ship
// was placed.
void ShieldTimer();

}  // namespace vorlax
