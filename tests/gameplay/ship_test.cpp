// The player's ship: movement and its limits, firing, shield and energy.
#include "gameplay/ship.h"

#include <gtest/gtest.h>

#include <tuple>

#include "support/play_fixture.h"

namespace vorlax {
namespace {

class Ship : public testing::PlayTest {
  protected:
    void Fire(std::uint32_t at) {
        platform.SetTick(at);
        G.NowTick = static_cast<Long>(at);
        FireShot();
    }
};

TEST_F(Ship, MovesByItsStepAndStaysInsideThePlayField) {
    struct Case {
        int w, h;  // the client size
        std::vector<int> keys;
        Long step, x, y, toX, toY;
    };
    const Case cases[] = {
        {785, 617, {VK_LEFT, VK_UP}, 5, 2, 27, 0, 25},
        {785, 617, {VK_LEFT, VK_UP}, 5, 0, 25, 0, 25},
        {785, 617, {VK_RIGHT, VK_DOWN}, 5, 736, 583, 738, 585},  // 785 - 47, 617 - 32
        {785, 617, {VK_RIGHT, VK_DOWN}, 1, 300, 300, 301, 301},
        {785, 617, {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN}, 5, 300, 300, 300, 300},
        {785, 617, {VK_LEFT, VK_RIGHT}, 5, -3, 300, 0, 300},
        {400, 300, {}, 5, 700, 500, 353, 268},  // a smaller window pulls the ship back in
        {40, 50, {}, 5, 10, 30, -7, 18},        // in a tiny one the upper limits win
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.w) + " x " + std::to_string(c.h) + " from " +
                     std::to_string(c.x) + ", " + std::to_string(c.y));
        Display().form.SetClientSize(c.w, c.h);
        platform.ReleaseAllKeys();
        for (int k : c.keys) platform.SetKeyHeld(k);
        G.ShipStepX = G.ShipStepY = c.step;
        ShipAt(c.x, c.y);
        MoveShip();
        EXPECT_EQ(G.ShipX, c.toX);
        EXPECT_EQ(G.ShipY, c.toY);
    }
}

// From the nose, into the lowest free slot, more than 300 ms after the last
// attempt, timed by a fresh reading of the clock.
TEST_F(Ship, AShotStartsAtTheNoseInTheLowestFreeSlotOncePer301Milliseconds) {
    ShipAt(100, 200);
    G.LastShotTick = 0;
    G.ShotActive[1] = True;
    platform.SetTick(200005);
    G.NowTick = 200000;  // read at the top of the pass, a little earlier
    FireShot();
    EXPECT_EQ(std::tuple(G.ShotActive[2], G.ShotX[2], G.ShotY[2], G.Energy, G.LastShotTick),
              std::tuple(True, 142, 211, 499, 200005));
    Fire(200305);
    EXPECT_EQ(std::tuple(G.ShotActive[3], G.LastShotTick), std::tuple(False, 200005));
    G.Energy = 1;  // the last unit still fires
    Fire(200306);
    EXPECT_EQ(std::tuple(G.ShotActive[3], G.LastShotTick, G.Energy), std::tuple(True, 200306, 0));
}

TEST_F(Ship, AttemptsThatFireNothingStillRestartTheSpacing) {
    G.LastShotTick = 0;
    for (int s = 1; s <= 5; ++s) G.ShotActive[s] = True;
    Fire(200000);
    EXPECT_EQ(std::tuple(G.Energy, G.LastShotTick), std::tuple(500, 200000));
    G.ShotActive[4] = False;
    Fire(200300);  // a slot is free, but the spacing holds
    EXPECT_EQ(G.ShotActive[4], False);
    G.CarrierActive = True;
    Fire(200301);
    EXPECT_EQ(std::tuple(G.ShotActive[4], G.LastShotTick), std::tuple(False, 200301));
    G.CarrierActive = False;
    G.Energy = 0;
    Fire(200700);
    EXPECT_EQ(std::tuple(G.ShotActive[4], G.Energy, G.LastShotTick), std::tuple(False, 0, 200700));
}

TEST_F(Ship, TheSpawnShieldHoldsFor2000MillisecondsExactly) {
    G.SpawnTick = 50000;
    G.ShieldOn = True;
    G.NowTick = 52000;
    ShieldTimer();
    EXPECT_EQ(G.ShieldOn, True);
    G.NowTick = 52001;
    ShieldTimer();
    EXPECT_EQ(G.ShieldOn, False);
}

}  // namespace
}  // namespace vorlax
