// The final wave's fire: the spacing of each enemy's shots, its ten slots,
// where a shot starts, and what a shot that reaches the ship costs.
#include "gameplay/enemy_fire.h"

#include <gtest/gtest.h>

#include <tuple>

#include "support/play_fixture.h"

namespace vorlax {
namespace {

class EnemyFireTest : public testing::PlayTest {
  protected:
    EnemyFireTest() {
        G.Wave = 11;  // 57 x 48
        G.EnemyX[2] = 800;
        G.EnemyY[2] = 200;
        G.FiringEnemy = 2;
    }
    void FireAt(std::uint32_t tick) {
        platform.SetTick(tick);
        EnemyFire();
    }
    int InFlight() {
        int n = 0;
        for (int e = 1; e <= 3; ++e)
            for (int k = 1; k <= 10; ++k) n += G.EnemyShotActive(e, k) == True;
        return n;
    }
};

// Ten busy slots fire nothing but the enemy still waits; then one shot per
// 301 ms into the first free slot, from the enemy's nose a third of the way
// down: 800 + 51.3 and 200 + 16.8, rounded.
TEST_F(EnemyFireTest, OneShotPer301MillisecondsIntoTheFirstFreeSlot) {
    for (int k = 1; k <= 10; ++k) EnemyShot(2, k, 100 + k, 300);
    G.EnemyLastShotTick[2] = 1000;
    FireAt(2000);
    EXPECT_EQ(G.EnemyLastShotTick[2], 2000);
    EXPECT_EQ(G.EnemyShotX(2, 10), 110) << "no slot overwritten";
    G.EnemyShotActive(2, 7) = False;
    G.EnemyShotActive(2, 9) = False;
    FireAt(2300);
    EXPECT_EQ(std::tuple(InFlight(), G.EnemyLastShotTick[2]), std::tuple(8, 2000));
    FireAt(2301);
    EXPECT_EQ(InFlight(), 9) << "one shot, by the firing enemy only";
    EXPECT_EQ(std::tuple(G.EnemyShotActive(2, 7), G.EnemyShotX(2, 7), G.EnemyShotY(2, 7),
                         G.EnemyLastShotTick[2]),
              std::tuple(True, 851, 217, 2301));
}

TEST_F(EnemyFireTest, OnlyACornerStrictlyInsideTheShipCostsIt) {
    // The ship covers 100..146 x 200..231.
    for (const EdgePoint& c : EdgesOfOpenBox(100, 200, 147, 232)) {
        SCOPED_TRACE(std::to_string(c.x) + ", " + std::to_string(c.y));
        ShipAt(100, 200);
        G.ShieldOn = False;
        G.CurrentShip = 1;
        G.WaveSetup = True;
        EnemyShot(3, 4, c.x, c.y);
        EnemyShotsHitShip();
        EXPECT_EQ(std::tuple(G.CurrentShip, G.WaveSetup, G.EnemyShotActive(3, 4)),
                  c.inside ? std::tuple(2, False, False) : std::tuple(1, True, True));
    }
}

TEST_F(EnemyFireTest, AShieldLetsShotsThroughAndTwoShotsCostOneShip) {
    ShipAt(100, 200);
    G.ShieldOn = True;
    G.CurrentShip = 1;
    EnemyShot(1, 3, 120, 210);
    EnemyShotsHitShip();
    EXPECT_EQ(G.CurrentShip, 1);
    EXPECT_EQ(G.EnemyShotActive(1, 3), True) << "flies on";

    G.ShieldOn = False;
    EnemyShot(2, 1, 180, 290);   // where the next ship will stand
    EnemyShot(3, 10, 900, 220);  // elsewhere
    const std::uint32_t before = platform.GetTickCount();
    EnemyShotsHitShip();
    EXPECT_EQ(G.CurrentShip, 2);
    EXPECT_EQ(platform.GetTickCount(), before + 500) << "one explosion";
    // The next ship is shielded: the second shot flies on.
    EXPECT_EQ(
        std::tuple(G.EnemyShotActive(1, 3), G.EnemyShotActive(2, 1), G.EnemyShotActive(3, 10)),
        std::tuple(False, True, True));
    EXPECT_EQ(G.ShipX, 173);
}

}  // namespace
}  // namespace vorlax
