#include "gameplay/shot_hits.h"

namespace vorlax {

// Not in the game yet: the frame loop already calls it in its place.
void ShotsHitEnemies() {}

}  // namespace vorlax
