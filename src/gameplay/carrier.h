#pragma once

namespace vorlax {

// Starts, moves and ends a visit of the energy carrier.
void MoveCarrier();

// Refills the energy while the ship lies inside the carrier's docking bay.
void DockingTest();

// Puts the live enemies of a wave that never moves them sideways (waves 7
// and 11) back at the columns they held when the carrier's visit began; for
// any other wave it does nothing. Runs wherever a visit ends.
void ReturnStrandedEnemies();

}  // namespace vorlax
