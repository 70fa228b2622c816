#include "core/game_state.h"

namespace vorlax {

GameState G;

void SetPalette() {
    G.ColRed = RGB(252, 55, 34);
    G.ColYellow = RGB(255, 255, 0);
    G.ColCyan = RGB(33, 216, 253);
    G.ColBlue = RGB(48, 32, 254);
    G.ColWhite = RGB(255, 255, 255);
}

void FillEnemySizes() {
    for (int n = 1; n <= kEnemyTypes; ++n) {
        G.EnemyWidth[n] = kEnemyWidths[n];
        G.EnemyHeight[n] = kEnemyHeights[n];
    }
}

}  // namespace vorlax
