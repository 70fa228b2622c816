// Losing a ship: the pause of its explosion, and the next ship.
#include "gameplay/player_loss.h"

#include <gtest/gtest.h>

#include <tuple>

#include "support/play_fixture.h"

namespace vorlax {
namespace {

using PlayerLoss = testing::PlayTest;

TEST_F(PlayerLoss, TheNextShipStandsAtAQuarterOfTheWidthShieldedAndCharged) {
    ShipAt(600, 400);
    auto reset = [] {
        return std::tie(G.GameRunning, G.ShieldOn, G.Energy, G.CarrierCalled, G.CarrierActive);
    };
    auto kept = [] {
        return std::tie(G.CurrentShip, G.ShipStepX, G.Score, G.ShotActive[2], G.EnemyX[4]);
    };
    reset() = std::tuple(False, False, 3, True, True);
    kept() = std::tuple(2, 1, 770, True, 123);
    const std::uint32_t before = platform.GetTickCount();
    LoseShip();
    // Ten steps of 50 ms, the game standing still; then the ship's centre at
    // a quarter of the width, its bottom edge on the middle (172.75, 276.5).
    EXPECT_EQ(G.SpawnTick, static_cast<Long>(before + 500));
    EXPECT_EQ(std::tuple(G.ShipX, G.ShipY), std::tuple(173, 276));
    EXPECT_EQ(reset(), std::tuple(True, True, 500, False, False));
    // Counting the loss is the caller's part; the rest of the game goes on.
    EXPECT_EQ(kept(), std::tuple(2, 1, 770, True, 123));
    Display().form.SetClientSize(800, 619);
    LoseShip();
    EXPECT_EQ(std::tuple(G.ShipX, G.ShipY), std::tuple(176, 278));  // 176.5 and 277.5, ties
}

}  // namespace
}  // namespace vorlax
