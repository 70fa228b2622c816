#pragma once

namespace vorlax {

// Starts, moves and ends a visit of the energy carrier.
void MoveCarrier();

// Refills the energy while the ship lies inside the carrier's docking bay.
void RefuelIfDocked();

// Ends a carrier's visit, or a call for one: the carrier is gone, and the
// live enemies of a wave that never moves them sideways (waves 7 and 11) are
// back at the columns they held when the visit began. Runs when the carrier
// has crossed and when the ship is lost.
void EndCarrierVisit();

}  // namespace vorlax
