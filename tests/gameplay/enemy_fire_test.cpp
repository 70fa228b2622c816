// The final wave's fire: the spacing of each enemy's shots, its ten slots,
// where a shot starts, and what a shot that reaches the ship costs.
#include "gameplay/enemy_fire.h"

#include <gtest/gtest.h>

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
    int InFlight(int e) {
        int n = 0;
        for (int k = 1; k <= 10; ++k) n += G.EnemyShotActive(e, k) == True;
        return n;
    }
    void Shot(int e, int k, Long x, Long y) {
        G.EnemyShotActive(e, k) = True;
        G.EnemyShotX(e, k) = x;
        G.EnemyShotY(e, k) = y;
    }
};

TEST_F(EnemyFireTest, OneShotPer301MillisecondsFromTheFirstFreeSlot) {
    G.EnemyLastShotTick[2] = 1000;
    FireAt(1300);
    EXPECT_EQ(InFlight(2), 0);
    EXPECT_EQ(G.EnemyLastShotTick[2], 1000);
    G.EnemyShotActive(2, 1) = True;
    FireAt(1301);
    ASSERT_EQ(G.EnemyShotActive(2, 2), True);
    // From the nose, a third of the way down: 800 + 51.3 and 200 + 16.8, rounded.
    EXPECT_EQ(G.EnemyShotX(2, 2), 851);
    EXPECT_EQ(G.EnemyShotY(2, 2), 217);
    EXPECT_EQ(G.EnemyLastShotTick[2], 1301);
    EXPECT_EQ(InFlight(1) + InFlight(3), 0) << "only the firing enemy's slots";
}

TEST_F(EnemyFireTest, TenBusySlotsFireNothingButTheEnemyStillWaits) {
    for (int k = 1; k <= 10; ++k) Shot(2, k, 100 + k, 300);
    G.EnemyLastShotTick[2] = 1000;
    FireAt(2000);
    EXPECT_EQ(G.EnemyLastShotTick[2], 2000);
    EXPECT_EQ(G.EnemyShotX(2, 10), 110) << "no slot overwritten";
    G.EnemyShotActive(2, 7) = False;
    FireAt(2300);
    EXPECT_EQ(InFlight(2), 9);
    FireAt(2301);
    EXPECT_EQ(InFlight(2), 10);
    EXPECT_EQ(G.EnemyShotX(2, 7), 851);
}

TEST_F(EnemyFireTest, OnlyACornerStrictlyInsideTheShipCostsIt) {
    // The ship covers 100..146 x 200..231.
    struct Case {
        Long x, y;
        bool hit;
    };
    const Case cases[] = {{100, 210, false}, {101, 210, true}, {146, 210, true}, {147, 210, false},
                          {120, 200, false}, {120, 201, true}, {120, 231, true}, {120, 232, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + ", " + std::to_string(c.y));
        G.ShipX = 100;
        G.ShipY = 200;
        G.ShieldOn = False;
        G.CurrentShip = 1;
        G.WaveSetup = True;
        Shot(3, 4, c.x, c.y);
        EnemyShotsHitShip();
        EXPECT_EQ(G.CurrentShip, c.hit ? 2 : 1);
        EXPECT_EQ(G.WaveSetup, c.hit ? False : True);
        EXPECT_EQ(G.EnemyShotActive(3, 4), c.hit ? False : True);
    }
}

TEST_F(EnemyFireTest, AShieldLetsShotsThroughAndTwoShotsCostOneShip) {
    G.ShipX = 100;
    G.ShipY = 200;
    G.ShieldOn = True;
    G.CurrentShip = 1;
    Shot(1, 3, 120, 210);
    EnemyShotsHitShip();
    EXPECT_EQ(G.CurrentShip, 1);
    EXPECT_EQ(G.EnemyShotActive(1, 3), True) << "flies on";

    G.ShieldOn = False;
    Shot(2, 1, 180, 290);   // where the next ship will stand
    Shot(3, 10, 900, 220);  // elsewhere
    const std::uint32_t before = platform.GetTickCount();
    EnemyShotsHitShip();
    EXPECT_EQ(G.CurrentShip, 2);
    EXPECT_EQ(platform.GetTickCount(), before + 500) << "one explosion";
    EXPECT_EQ(G.EnemyShotActive(1, 3), False);
    // The next ship is shielded: the second shot flies on.
    EXPECT_EQ(G.EnemyShotActive(2, 1), True);
    EXPECT_EQ(G.EnemyShotActive(3, 10), True);
    EXPECT_EQ(G.ShipX, 173);
}

}  // namespace
}  // namespace vorlax
