// The energy carrier: a visit's start, its crossing and its end, the
// enemies waiting meanwhile, and docking.
#include "gameplay/carrier.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>

#include "gameplay/player_loss.h"
#include "gameplay/waves.h"
#include "support/play_fixture.h"

namespace vorlax {
namespace {

class Carrier : public testing::PlayTest {
  protected:
    std::vector<Long> EnemyColumns() {
        std::vector<Long> x;
        for (int i = 1; i <= 10; ++i) x.push_back(G.EnemyX[i]);
        return x;
    }
};

// A visit starts wholly right of the window on one of five rows, the
// enemies waiting there; it crosses at 0.75 a frame with the enemies in a
// row beyond the right edge and ends once the carrier is wholly past the
// left edge. The ship's steps follow from the frame after.
TEST_F(Carrier, AVisitStartsRightOfTheWindowCrossesItAndEndsPastTheLeftEdge) {
    Display().form.SetClientSize(800, 600);
    std::set<double> rows;
    for (int visit = 0; visit < 60; ++visit) {
        G.CarrierActive = False;
        G.CarrierCalled = True;
        platform.Advance(7);
        MoveCarrier();
        ASSERT_EQ(std::tuple(G.CarrierActive, G.CarrierCalled, G.CarrierX),
                  std::tuple(True, False, 880.0));
        rows.insert(G.CarrierY);
        ASSERT_EQ(EnemyColumns(), std::vector<Long>(10, 880));
        ASSERT_EQ(G.ShipStepX, 5) << "the steps change from the visit's second frame";
    }
    EXPECT_EQ(rows, (std::set<double>{60, 120, 180, 240, 300}));

    const double y = G.CarrierY;
    MoveCarrier();
    EXPECT_EQ(std::tuple(G.CarrierX, G.CarrierY, G.ShipStepX, G.ShipStepY),
              std::tuple(879.25, y, 1, 1));
    EXPECT_EQ(EnemyColumns(),
              (std::vector<Long>{880, 960, 1040, 1120, 1200, 1280, 1360, 1440, 1520, 1600}));

    G.CarrierX = -1312.25;
    G.CarrierCalled = True;  // asked for again meanwhile
    MoveCarrier();
    EXPECT_EQ(std::tuple(G.CarrierX, G.CarrierActive), std::tuple(-1313.0, True));
    MoveCarrier();
    EXPECT_EQ(std::tuple(G.CarrierActive, G.CarrierCalled, G.ShipStepX),
              std::tuple(False, False, 1));
    MoveCarrier();
    EXPECT_EQ(std::tuple(G.ShipStepX, G.ShipStepY), std::tuple(5, 5));
}

TEST_F(Carrier, DockingNeedsTheShipStrictlyInsideTheBay) {
    // The bay of a carrier at (100, 200) spans 687..781 x 350..414, so the
    // ship's 47 x 32 box fits strictly inside with its corner in 688..733 x 351..381.
    for (const EdgePoint& c : EdgesOfOpenBox(687, 350, 734, 382)) {
        SCOPED_TRACE(std::to_string(c.x) + ", " + std::to_string(c.y));
        G.CarrierX = 100;
        G.CarrierY = 200;
        ShipAt(c.x, c.y);
        G.Energy = 3;
        RefuelIfDocked();
        EXPECT_EQ(G.Energy, c.inside ? 500 : 3);
    }
    // Compared unrounded: a carrier a quarter pixel further right lets 734 in.
    G.CarrierX = 100.25;
    ShipAt(734, 360);
    RefuelIfDocked();
    EXPECT_EQ(G.Energy, 500);
}

// Waves 7 and 11 never change an enemy's column, so after a visit their
// live enemies go back to where they stood; the other waves fly back in.
TEST_F(Carrier, AfterAVisitEnemiesThatNeverMoveSidewaysAreBackInTheirColumns) {
    auto visit = [&](bool endByLoss) {
        G.CarrierCalled = True;
        MoveCarrier();
        MoveCarrier();
        ASSERT_GE(G.EnemyX[1], 785);
        if (endByLoss) {
            LoseShip();
        } else {
            G.CarrierX = -1313;
            MoveCarrier();
        }
        ASSERT_EQ(G.CarrierActive, False);
    };
    G.Wave = 7;
    G.WaveSetup = True;
    RunWave();
    const std::vector<Long> columns = EnemyColumns();
    G.EnemyAlive[2] = 0;  // shot down: stays where the carrier sent it
    visit(false);
    EXPECT_EQ(std::tuple(G.EnemyX[1], G.EnemyX[2], G.EnemyX[3]),
              std::tuple(columns[0], 942, columns[2]));

    G.Level = 3;
    G.Wave = 11;
    G.WaveSetup = True;
    RunWave();
    visit(true);
    EXPECT_EQ(std::tuple(G.EnemyX[1], G.EnemyX[3]), std::tuple(628, 628));

    G.Wave = 1;
    G.WaveSetup = True;
    RunWave();
    visit(false);
    EXPECT_EQ(EnemyColumns()[0], 864);
}

}  // namespace
}  // namespace vorlax
