#pragma once

namespace vorlax {

// Starts, moves and ends a visit of the energy carrier.
void MoveCarrier();

// Refills the energy while the ship lies inside the carrier's docking bay.
void DockingTest();

}  // namespace vorlax
