// The frame loop: pacing, the order of a pass, the strip, and what each
// drawing step leaves behind.
#include "game/frame_loop.h"

#include <gtest/gtest.h>

#include "core/numbers.h"
#include "support/play_fixture.h"

namespace vorlax {
namespace {

class FrameLoopTest : public testing::PlayTest {
  protected:
    // As during play, the collision scratch picture stands out of sight.
    FrameLoopTest() { Display().CollisionPict->SetLeft(805); }

    // Runs the loop directly (as F2 would, without the window switch) and
    // records the tick of every frame until `stopAfterYields` yields.
    std::vector<Long> FrameTicks(int stopAfterYields) {
        std::vector<Long> ticks;
        Long last = G.LastFrameTick;
        int yields = 0;
        platform.EveryYield([&] {
            if (G.LastFrameTick != last) {
                last = G.LastFrameTick;
                ticks.push_back(last);
            }
            if (++yields >= stopAfterYields) G.GameRunning = False;
        });
        G.GameRunning = True;
        FrameLoop();
        platform.EveryYield(nullptr);
        return ticks;
    }
};

TEST_F(FrameLoopTest, AFrameNeedsMoreThanTenMilliseconds) {
    G.LastFrameTick = 1000;
    platform.SetTick(1010);  // exactly 10 ms: no frame yet
    auto ticks = FrameTicks(4);
    ASSERT_GE(ticks.size(), 2u);
    EXPECT_EQ(ticks[0], 1011);
    EXPECT_EQ(ticks[1], 1022);
}

TEST_F(FrameLoopTest, AClockBelowTheLastFrameRunsNothingUntilItPasses) {
    G.LastFrameTick = 5000;
    platform.SetTick(4000);
    auto ticks = FrameTicks(200);
    ASSERT_FALSE(ticks.empty());
    EXPECT_GE(ticks[0], 5011);
    EXPECT_LE(ticks[0], 5022);
}

TEST_F(FrameLoopTest, TheFirstPassOfTheFirstGameDrawsAtOnce) {
    G.LastFrameTick = 0;
    platform.SetTick(30);
    auto ticks = FrameTicks(1);
    ASSERT_EQ(ticks.size(), 1u);
    EXPECT_EQ(ticks[0], 30);
}

TEST_F(FrameLoopTest, FramesRunAcrossTheCounterWrap) {
    platform.SetTick(0xFFFFFFE0u);
    G.LastFrameTick = static_cast<Long>(0xFFFFFFE0u) - 11;
    auto ticks = FrameTicks(10);
    ASSERT_GE(ticks.size(), 5u);
    for (std::size_t i = 1; i < ticks.size(); ++i) EXPECT_EQ(TickDiff(ticks[i], ticks[i - 1]), 11);
}

TEST_F(FrameLoopTest, TheStripShowsPlainDecimalsAfterAFrame) {
    G.Score = -40;
    G.Energy = 123;
    G.Level = 12;
    PlayFrames(1);
    EXPECT_EQ(Display().Text2->Text(), "3");
    EXPECT_EQ(Display().Text3->Text(), "12");
    EXPECT_EQ(Display().Text6->Text(), "1");
    EXPECT_EQ(Display().Text7->Text(), "-40");
    EXPECT_EQ(Display().Text9->Text(), "123");
}

TEST_F(FrameLoopTest, PHeldStillDrawsTheWholeFrame) {
    platform.SetKeyHeld(VK_P);
    G.Score = 77;
    const int before = platform.Presents(Display().form);
    G.GameRunning = True;
    FrameLoop();  // returns after the first frame's yield
    EXPECT_EQ(G.Paused, True);
    EXPECT_EQ(G.GameRunning, False);
    EXPECT_EQ(platform.Presents(Display().form), before + 1);
    EXPECT_EQ(Display().Text7->Text(), "77");
}

TEST_F(FrameLoopTest, EscEndsTheProgramBeforeAnythingElseOfThePass) {
    platform.SetKeyHeld(VK_ESCAPE);
    platform.SetKeyHeld(VK_RIGHT);  // MoveShip comes first and still runs
    platform.SetTick(G.SpawnTick + 5000);
    const Long x = G.ShipX;
    const int before = platform.Presents(Display().form);
    G.GameRunning = True;
    EXPECT_THROW(FrameLoop(), ProgramEnd);
    EXPECT_EQ(G.ShipX, x + 5);
    EXPECT_EQ(G.ShieldOn, True);  // ShieldTimer did not run
    EXPECT_EQ(platform.Presents(Display().form), before);
    EXPECT_EQ(Display().Text9->Text(), "1000");  // no strip update
    EXPECT_TRUE(platform.OpenForms().empty());
}

TEST_F(FrameLoopTest, AnExtraShipNeedsMoreThanTenThousandPoints) {
    G.BonusPoints = 10000;
    PlayFrames(1);
    EXPECT_EQ(G.ShipsEarned, 3);
    EXPECT_EQ(G.BonusPoints, 10000);
    G.BonusPoints = 10001;
    PlayFrames(1);
    EXPECT_EQ(G.ShipsEarned, 4);
    EXPECT_EQ(G.BonusPoints, 0);
    EXPECT_EQ(Display().Text2->Text(), "4");
    G.BonusPoints = 25000;  // one ship per frame; the excess is dropped
    PlayFrames(1);
    EXPECT_EQ(G.ShipsEarned, 5);
    EXPECT_EQ(G.BonusPoints, 0);
}

TEST_F(FrameLoopTest, GameOverReturnsWithoutDrawingAndTheStripKeepsItsValues) {
    PlayFrames(2);
    ASSERT_EQ(Display().Text2->Text(), "3");
    const int before = platform.Presents(Display().form);
    G.CurrentShip = 4;  // the last ship is gone
    G.Score = 999;
    G.GameRunning = True;
    FrameLoop();
    EXPECT_EQ(G.GameRunning, False);
    EXPECT_EQ(platform.Presents(Display().form), before);
    EXPECT_EQ(Display().Text2->Text(), "3");  // never shows 0 lives
    EXPECT_EQ(Display().Text7->Text(), "0");
}

TEST_F(FrameLoopTest, CtrlWithoutEnergyCallsTheCarrierInTheSameFrame) {
    G.Energy = 0;
    platform.SetTick(G.SpawnTick + 3000);  // the spawn shield has run out
    platform.SetKeyHeld(VK_CONTROL);
    PlayFrames(1);
    EXPECT_EQ(G.ShieldOn, False);
    EXPECT_EQ(G.Energy, 0);
    EXPECT_EQ(G.CarrierCalled, True);
}

TEST_F(FrameLoopTest, CtrlWithTheLastUnitRaisesTheShieldAndCallsTheCarrier) {
    G.Energy = 1;
    platform.SetTick(G.SpawnTick + 3000);
    platform.SetKeyHeld(VK_CONTROL);
    PlayFrames(1);
    EXPECT_EQ(G.ShieldOn, True);
    EXPECT_EQ(G.Energy, 0);
    EXPECT_EQ(G.CarrierCalled, True);
}

TEST_F(FrameLoopTest, StarsWrapOnlyOnceTheyAreLeftOfTheEdge) {
    G.Stars[0] = {3, 100, 3, 2, G.ColWhite};  // moves to 0: stays
    G.Stars[1] = {3, 200, 4, 2, G.ColWhite};  // moves to -1: re-enters
    G.Stars[2] = {500, 300, 6, 3, RGB(9, 9, 9)};
    PlayFrames(1);
    EXPECT_EQ(G.Stars[0].X, 0);
    EXPECT_EQ(G.Stars[0].Y, 100);
    EXPECT_EQ(G.Stars[1].X, 785);
    EXPECT_GE(G.Stars[1].Y, 26);
    EXPECT_LE(G.Stars[1].Y, 617 + 26);
    EXPECT_GE(G.Stars[1].Speed, 1);
    EXPECT_LE(G.Stars[1].Speed, 6);
    EXPECT_EQ(G.Stars[1].Size, 2);
    EXPECT_EQ(G.Stars[2].X, 494);
    EXPECT_EQ(Display().form.Image().Pixel(495, 301), RGB(9, 9, 9));
}

TEST_F(FrameLoopTest, AShotAtTheRightEdgeStaysAndOneBeyondIsRetiredAfterItsLastDraw) {
    G.ShotActive[1] = True;
    G.ShotX[1] = 775;  // moves to 785 = the client width
    G.ShotY[1] = 300;
    G.ShotActive[2] = True;
    G.ShotX[2] = 776;  // moves to 786
    G.ShotY[2] = 400;
    PlayFrames(1);
    EXPECT_EQ(G.ShotActive[1], True);
    EXPECT_EQ(G.ShotActive[2], False);
    EXPECT_EQ(G.ShotX[2], 786);
}

TEST_F(FrameLoopTest, ExplosionsRunTwentyFramesFromRadiusOne) {
    G.EnemyCount = 3;
    G.WaveSetup = False;
    G.EnemyAlive[2] = 0;
    G.EnemyX[2] = 300;
    G.EnemyY[2] = 200;
    G.EnemyBlast[2] = 1;
    PlayFrames(1);
    // Radius 1 around the centre (326.5, 216) of the 53 x 32 box.
    const Colour first = RGB(251, 56, 70);
    EXPECT_EQ(Display().form.Image().Pixel(326, 215), first);
    EXPECT_EQ(G.EnemyBlast[2], 2);
    PlayFrames(18);
    EXPECT_EQ(G.EnemyBlast[2], 20);
    PlayFrames(1);
    EXPECT_EQ(G.EnemyBlast[2], 0);
}

TEST_F(FrameLoopTest, ArmourRingsOnlyOnTheFinalWaveOnePerHitLeft) {
    G.Wave = 11;
    G.EnemyCount = 1;
    G.EnemyAlive[1] = -1;
    G.EnemyX[1] = 400;
    G.EnemyY[1] = 300;
    G.EnemyHits[1] = 4;  // one ring: the box grown by 1
    DrawPlayField();
    const Surface& img = Display().form.Image();
    // The ring touches the grown box's left edge at its vertical middle.
    EXPECT_EQ(img.Pixel(399, 324), G.ColCyan);
    EXPECT_NE(img.Pixel(398, 324), G.ColCyan);
    G.EnemyHits[1] = 0;  // five rings, the outermost grown by 5
    DrawPlayField();
    EXPECT_EQ(img.Pixel(395, 324), G.ColCyan);
    G.EnemyHits[1] = 5;
    DrawPlayField();
    EXPECT_NE(img.Pixel(399, 324), G.ColCyan);
    EXPECT_NE(img.Pixel(395, 324), G.ColCyan);
    G.Wave = 10;
    G.EnemyHits[1] = 0;
    DrawPlayField();
    EXPECT_NE(img.Pixel(395, 324), G.ColCyan);
}

TEST_F(FrameLoopTest, EnemyShotsMoveLeftOnlyOnTheFinalWave) {
    G.EnemyShotActive(1, 1) = True;
    G.EnemyShotX(1, 1) = 10;
    G.EnemyShotY(1, 1) = 100;
    G.EnemyShotActive(3, 10) = True;
    G.EnemyShotX(3, 10) = 9;
    G.EnemyShotY(3, 10) = 200;
    G.Wave = 5;
    DrawPlayField();
    EXPECT_EQ(G.EnemyShotX(1, 1), 10);
    G.Wave = 11;
    G.EnemyCount = 0;
    DrawPlayField();
    EXPECT_EQ(G.EnemyShotX(1, 1), 0);
    EXPECT_EQ(G.EnemyShotActive(1, 1), True);    // at x = 0 it stays
    EXPECT_EQ(G.EnemyShotActive(3, 10), False);  // below 0 it is retired, after its draw
    EXPECT_EQ(Display().form.Image().Pixel(-1 + 2, 202), G.ColYellow);
}

// One frame drawn from a known state, against an image built here from the
// drawing rules with plain pixel loops.
TEST_F(FrameLoopTest, AFrameIsDrawnPixelForPixel) {
    for (int i = 0; i <= 100; ++i) G.Stars[i] = {1000, 700, 1, 1, G.ColWhite};  // off screen
    G.Stars[0] = {101, 60, 1, 1, G.ColWhite};
    G.Stars[1] = {201, 70, 1, 2, G.ColWhite};
    G.Stars[2] = {301, 80, 1, 3, G.ColWhite};
    G.ShipX = 100;
    G.ShipY = 200;
    G.ShieldOn = True;
    G.ShotActive[1] = True;
    G.ShotX[1] = 190;
    G.ShotY[1] = 211;
    G.EnemyCount = 0;
    DrawPlayField();

    Surface expected(785, 617, RGB(1, 0, 1));
    // Size 1: a 1 x 1 ellipse paints nothing at all.
    for (int y = 70; y < 72; ++y)
        for (int x = 200; x < 202; ++x)
            expected.SetPixel(x, y, G.ColWhite);  // size 2: a 2 x 2 block
    // Size 3: a plus-shaped 3 x 3 (the corners stay).
    for (int d = 0; d < 3; ++d) {
        expected.SetPixel(300 + d, 81, G.ColWhite);
        expected.SetPixel(301, 80 + d, G.ColWhite);
    }
    const Surface& ship = *SurfaceOf(G.ShipDC);
    const Surface& mask = *SurfaceOf(G.ShipMaskDC);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 47; ++x)
            if (mask.Pixel(x, y) == 0) expected.SetPixel(100 + x, 200 + y, ship.Pixel(x, y));
    // The shield: the outline of the ellipse in the box 98..148 x 198..233.
    Surface ring(51, 36, 0);
    Ellipse(ring, 0, 0, 51, 36, 1, 0, FillStyle::Transparent);
    for (int y = 0; y < 36; ++y)
        for (int x = 0; x < 51; ++x)
            if (ring.Pixel(x, y) == 1) expected.SetPixel(98 + x, 198 + y, G.ColBlue);
    // The shot moved 10 to the right: a 5 x 5 disc, corners left out.
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x) {
            const bool corner = (x == 0 || x == 4) && (y == 0 || y == 4);
            if (!corner) expected.SetPixel(200 + x, 211 + y, G.ColRed);
        }
    for (int x = 0; x < 785; ++x) expected.SetPixel(x, 25, G.ColWhite);

    const Surface& actual = Display().form.Image();
    int differences = 0;
    for (int y = 0; y < 617; ++y)
        for (int x = 0; x < 785; ++x)
            if (actual.Pixel(x, y) != expected.Pixel(x, y) && differences++ < 5)
                ADD_FAILURE() << "pixel (" << x << ", " << y << "): " << actual.Pixel(x, y)
                              << " instead of " << expected.Pixel(x, y);
    EXPECT_EQ(differences, 0);
}

}  // namespace
}  // namespace vorlax
