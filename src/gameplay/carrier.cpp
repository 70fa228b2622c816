#include "gameplay/carrier.h"

namespace vorlax {

// Not in the game yet: the frame loop already calls them in their places.
void MoveCarrier() {}
void DockingTest() {}

}  // namespace vorlax
