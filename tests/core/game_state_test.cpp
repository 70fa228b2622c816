#include "core/game_state.h"

#include <gtest/gtest.h>

namespace vorlax {
namespace {

TEST(GameState, PaletteAndEnemySizeTable) {
    G = GameState{};
    SetPalette();
    EXPECT_EQ(G.ColRed, RGB(252, 55, 34));
    EXPECT_EQ(G.ColYellow, RGB(255, 255, 0));
    EXPECT_EQ(G.ColCyan, RGB(33, 216, 253));
    EXPECT_EQ(G.ColBlue, RGB(48, 32, 254));
    EXPECT_EQ(G.ColWhite, 16777215);
    EXPECT_EQ(RGB(252, 55, 34), 252 + 256 * 55 + 65536 * 34);
    FillEnemySizes();
    const int widths[] = {53, 38, 107, 41, 84, 54, 45, 51, 17, 55, 57};
    const int heights[] = {32, 32, 32, 32, 32, 32, 32, 32, 15, 56, 48};
    for (int n = 1; n <= 11; ++n) {
        EXPECT_EQ(G.EnemyWidth[n], widths[n - 1]) << n;
        EXPECT_EQ(G.EnemyHeight[n], heights[n - 1]) << n;
    }
    G = GameState{};
}

}  // namespace
}  // namespace vorlax
