#include "gameplay/collision.h"

namespace vorlax {

// Not in the game yet: the frame loop already calls it in its place.
void CheckShipCollision() {}

}  // namespace vorlax
