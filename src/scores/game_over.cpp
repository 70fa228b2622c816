#include "scores/game_over.h"

namespace vorlax {

// Not in the game yet: the frame loop already calls it in its place.
void GameOver() {}

}  // namespace vorlax
