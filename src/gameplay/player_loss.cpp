#include "gameplay/player_loss.h"

namespace vorlax {

// Not in the game yet: the frame loop already calls it in its place.
void LoseShip() {}

}  // namespace vorlax
