#pragma once

namespace vorlax {

// Enters a qualifying score into the table and opens the high-score window.
void GameOver();

}  // namespace vorlax
