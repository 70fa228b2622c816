#include "core/game_state.h"

#include <gtest/gtest.h>

#include <type_traits>

namespace vorlax {
namespace {

TEST(GameState, ScalarTypesHaveTheirExactWidths) {
    static_assert(std::is_same_v<decltype(GameState::ShipX), std::int32_t>);
    static_assert(std::is_same_v<decltype(GameState::ShieldOn), std::int16_t>);
    static_assert(std::is_same_v<decltype(GameState::CarrierX), double>);
    static_assert(std::is_same_v<decltype(GameState::BackColour), std::int32_t>);
    EXPECT_EQ(True, -1);
    EXPECT_EQ(False, 0);
}

TEST(GameState, ArraysKeepTheirBounds) {
    GameState g;
    EXPECT_EQ((decltype(g.Stars)::lower), 0);
    EXPECT_EQ((decltype(g.Stars)::upper), 100);
    EXPECT_EQ((decltype(g.ShotActive)::lower), 0);
    EXPECT_EQ((decltype(g.ShotActive)::upper), 5);
    EXPECT_EQ((decltype(g.EnemyX)::lower), 1);
    EXPECT_EQ((decltype(g.EnemyX)::upper), 10);
    EXPECT_EQ((decltype(g.EnemyDirection)::upper), 3);
    EXPECT_EQ((decltype(g.EnemySpriteDC)::upper), 11);
    EXPECT_EQ((decltype(g.HighScores)::lower), 1);
    EXPECT_EQ((decltype(g.HighScores)::upper), 10);
    g.EnemyShotActive(3, 10) = True;
    g.EnemyShotActive(0, 0) = True;
    EXPECT_EQ(g.EnemyShotActive(3, 10), True);
    EXPECT_EQ(g.EnemyShotActive(2, 10), False);
    EXPECT_EQ(g.EnemyShotActive(3, 9), False);
}

TEST(GameState, PaletteAndSizeTable) {
    G = GameState{};
    SetPalette();
    EXPECT_EQ(G.ColRed, 252 + 256 * 55 + 65536 * 34);
    EXPECT_EQ(G.ColYellow, 255 + 256 * 255);
    EXPECT_EQ(G.ColCyan, 33 + 256 * 216 + 65536 * 253);
    EXPECT_EQ(G.ColBlue, 48 + 256 * 32 + 65536 * 254);
    EXPECT_EQ(G.ColWhite, 16777215);
    FillEnemySizes();
    EXPECT_EQ(G.EnemyWidth[1], 53);
    EXPECT_EQ(G.EnemyWidth[9], 17);
    EXPECT_EQ(G.EnemyHeight[9], 15);
    EXPECT_EQ(G.EnemyWidth[11], 57);
    EXPECT_EQ(G.EnemyHeight[11], 48);
    EXPECT_EQ(G.EnemyHeight[10], 56);
    G = GameState{};
}

TEST(GameState, LivesLeftCountsTheShipInPlay) {
    GameState g;
    g.ShipsEarned = 3;
    g.CurrentShip = 1;
    EXPECT_EQ(LivesLeft(g), 3);
    g.CurrentShip = 4;
    EXPECT_EQ(LivesLeft(g), 0);
    EXPECT_LT(g.ShipsEarned, g.CurrentShip);  // the game is over
}

}  // namespace
}  // namespace vorlax
