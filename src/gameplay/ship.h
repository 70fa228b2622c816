// The player's ship: moving, firing and the spawn shield.
#pragma once

#include "core/types.h"

namespace vorlax {

// The ship's step per frame, and its slower step while the carrier is on screen.
inline constexpr Long kShipStep = 5;
inline constexpr Long kShipStepNearCarrier = 1;

// Puts the ship at its start: its centre at a quarter of the display
// window's width, its bottom edge on the middle.
void PlaceShipAtStart();

// Moves the ship by the held arrow keys and keeps it inside the play field
// (below the head-up strip); the upper limits are applied last.
void MoveShip();

// Fires a shot from the ship's nose into the lowest free slot, at most one
// every 301 ms, costing one unit of energy. Nothing is fired while the
// carrier is on screen, without energy or with all five slots busy, but the
// attempt still restarts the spacing.
void FireShot();

// Drops the shield once more than 2000 ms have passed since the ship was
// placed: the spawn shield runs out, and a shield raised with Ctrl stays up
// only while the shield key raises it again each frame.
void ShieldTimer();

}  // namespace vorlax
