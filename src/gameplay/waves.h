#pragma once

namespace vorlax {

// Lays out the current wave's formation or moves its enemies, and advances cleared waves.
void RunWave();

}  // namespace vorlax
