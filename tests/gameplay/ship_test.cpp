// The player's ship: movement and its limits, firing, shield and energy.
#include "gameplay/ship.h"

#include <gtest/gtest.h>

#include "support/play_fixture.h"

namespace vorlax {
namespace {

class Ship : public testing::PlayTest {
  protected:
    void Hold(std::initializer_list<int> keys) {
        platform.ReleaseAllKeys();
        for (int k : keys) platform.SetKeyHeld(k);
    }
    void Fire(std::uint32_t at) {
        platform.SetTick(at);
        G.NowTick = static_cast<Long>(at);
        FireShot();
    }
};

TEST_F(Ship, StaysInsideThePlayFieldAtEveryEdge) {
    G.ShipX = 2;
    G.ShipY = 27;
    Hold({VK_LEFT, VK_UP});
    MoveShip();
    EXPECT_EQ(G.ShipX, 0);
    EXPECT_EQ(G.ShipY, 25);
    MoveShip();
    EXPECT_EQ(G.ShipX, 0);
    EXPECT_EQ(G.ShipY, 25);
    G.ShipX = 736;
    G.ShipY = 583;
    Hold({VK_RIGHT, VK_DOWN});
    MoveShip();
    EXPECT_EQ(G.ShipX, 738);  // 785 - 47
    EXPECT_EQ(G.ShipY, 585);  // 617 - 32
    MoveShip();
    EXPECT_EQ(G.ShipX, 738);
    EXPECT_EQ(G.ShipY, 585);
}

TEST_F(Ship, LeftAndRightTogetherCancel) {
    G.ShipX = 300;
    G.ShipY = 300;
    Hold({VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN});
    MoveShip();
    EXPECT_EQ(G.ShipX, 300);
    EXPECT_EQ(G.ShipY, 300);
    G.ShipX = -3;  // still clamped
    MoveShip();
    EXPECT_EQ(G.ShipX, 0);
}

TEST_F(Ship, AWindowMadeSmallerPullsTheShipBackIn) {
    Display().form.SetClientSize(400, 300);  // a resize resets to the title screen
    G.ShipX = 700;
    G.ShipY = 500;
    Hold({});
    MoveShip();
    EXPECT_EQ(G.ShipX, 353);
    EXPECT_EQ(G.ShipY, 268);
}

TEST_F(Ship, InATinyWindowTheUpperLimitsWin) {
    Display().form.SetClientSize(40, 50);
    G.ShipX = 10;
    G.ShipY = 30;
    Hold({});
    MoveShip();
    EXPECT_EQ(G.ShipX, -7);  // 40 - 47, below 0
    EXPECT_EQ(G.ShipY, 18);  // 50 - 32, above 25
}

TEST_F(Ship, StepsFollowShipStep) {
    G.ShipX = 300;
    G.ShipY = 300;
    G.ShipStepX = 1;
    G.ShipStepY = 1;
    Hold({VK_RIGHT, VK_DOWN});
    MoveShip();
    EXPECT_EQ(G.ShipX, 301);
    EXPECT_EQ(G.ShipY, 301);
}

TEST_F(Ship, AShotStartsAtTheNoseInTheLowestFreeSlot) {
    G.ShipX = 100;
    G.ShipY = 200;
    G.LastShotTick = 0;
    G.ShotActive[1] = True;
    Fire(200000);
    EXPECT_EQ(G.ShotActive[2], True);
    EXPECT_EQ(G.ShotX[2], 142);
    EXPECT_EQ(G.ShotY[2], 211);
    EXPECT_EQ(G.Energy, 499);
    EXPECT_EQ(G.ShotActive[3], False);
}

TEST_F(Ship, ShotsNeedMoreThan300MillisecondsBetweenAttempts) {
    G.LastShotTick = 0;
    Fire(200000);
    ASSERT_EQ(G.LastShotTick, 200000);
    Fire(200300);
    EXPECT_EQ(G.ShotActive[2], False);
    EXPECT_EQ(G.LastShotTick, 200000);
    Fire(200301);
    EXPECT_EQ(G.ShotActive[2], True);
    EXPECT_EQ(G.LastShotTick, 200301);
}

TEST_F(Ship, TheSpacingRunsFromAFreshReading) {
    G.LastShotTick = 0;
    platform.SetTick(200005);
    G.NowTick = 200000;  // read at the top of the pass, a little earlier
    FireShot();
    EXPECT_EQ(G.LastShotTick, 200005);
}

TEST_F(Ship, AttemptsThatFireNothingStillRestartTheSpacing) {
    G.LastShotTick = 0;
    for (int s = 1; s <= 5; ++s) G.ShotActive[s] = True;
    Fire(200000);
    EXPECT_EQ(G.Energy, 500);
    EXPECT_EQ(G.LastShotTick, 200000);
    G.ShotActive[4] = False;
    Fire(200300);  // a slot is free, but the spacing holds
    EXPECT_EQ(G.ShotActive[4], False);
    G.CarrierActive = True;
    Fire(200301);
    EXPECT_EQ(G.ShotActive[4], False);
    EXPECT_EQ(G.LastShotTick, 200301);
    G.CarrierActive = False;
    G.Energy = 0;
    Fire(200700);
    EXPECT_EQ(G.ShotActive[4], False);
    EXPECT_EQ(G.Energy, 0);
    EXPECT_EQ(G.LastShotTick, 200700);
}

TEST_F(Ship, EnergyNeverGoesBelowZero) {
    G.Energy = 2;
    G.LastShotTick = 0;
    platform.SetTick(G.SpawnTick + 5000);
    platform.SetKeyHeld(VK_CONTROL);
    platform.SetKeyHeld(VK_SPACE);
    PlayFrames(40);
    EXPECT_EQ(G.Energy, 0);
    EXPECT_EQ(G.CarrierCalled, True);
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

TEST_F(Ship, AGameStartedFiveSecondsAfterTheTitleScreenStartsUnshielded) {
    platform.Advance(5000);
    PlayFrames(1);
    EXPECT_EQ(G.ShieldOn, False);
}

TEST_F(Ship, AGameStartedAtOnceKeepsTheSpawnShieldForWhatIsLeft) {
    platform.Advance(1500);
    PlayFrames(1);
    EXPECT_EQ(G.ShieldOn, True);
    PlayFrames(50);  // 550 ms more
    EXPECT_EQ(G.ShieldOn, False);
}

TEST_F(Ship, CtrlRaisesTheShieldOnlyWhileHeld) {
    platform.Advance(3000);
    platform.SetKeyHeld(VK_CONTROL);
    PlayFrames(3);
    EXPECT_EQ(G.ShieldOn, True);
    EXPECT_EQ(G.Energy, 497);
    platform.SetKeyHeld(VK_CONTROL, false);
    PlayFrames(1);
    EXPECT_EQ(G.ShieldOn, False);
    EXPECT_EQ(G.Energy, 497);
}

TEST_F(Ship, LastShotTickSurvivesANewGame) {
    G.LastShotTick = 123456;
    NewGameReset();
    EXPECT_EQ(G.LastShotTick, 123456);
}

}  // namespace
}  // namespace vorlax
