#include "gameplay/waves.h"

namespace vorlax {

// Not in the game yet: the frame loop already calls it in its place.
void RunWave() {}

}  // namespace vorlax
