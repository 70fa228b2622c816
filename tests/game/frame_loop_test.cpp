// The frame loop: pacing, the order of a pass, the strip, and what each
// drawing step leaves behind.
#include "game/frame_loop.h"

#include <gtest/gtest.h>

#include <set>

#include "core/numbers.h"
#include "support/play_fixture.h"

namespace vorlax {
namespace {

using testing::Extent;

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
    // Turns a sprite into a solid w x h block of one colour, so that what is
    // drawn over what shows everywhere in its box.
    static void Solid(SurfaceHandle picture, SurfaceHandle mask, Colour colour) {
        Surface& p = *SurfaceOf(picture);
        *SurfaceOf(mask) = Surface(p.Width(), p.Height(), 0);
        p = Surface(p.Width(), p.Height(), colour);
    }
};

TEST_F(FrameLoopTest, AFrameNeedsMoreThanTenMilliseconds) {
    G.LastFrameTick = 0;  // as when the program starts: the first pass draws at once
    platform.SetTick(30);
    EXPECT_EQ(FrameTicks(1), std::vector<Long>{30});
    G.LastFrameTick = 1000;
    platform.SetTick(1010);  // exactly 10 ms: no frame yet
    auto ticks = FrameTicks(4);
    ASSERT_GE(ticks.size(), 2u);
    EXPECT_EQ(ticks[0], 1011);
    EXPECT_EQ(ticks[1], 1022);
}

TEST_F(FrameLoopTest, AClockBelowTheLastFrameRunsNothingUntilItPassesAndFramesRunAcrossTheWrap) {
    G.LastFrameTick = 5000;
    platform.SetTick(4000);
    auto ticks = FrameTicks(200);
    ASSERT_FALSE(ticks.empty());
    EXPECT_GE(ticks[0], 5011);
    EXPECT_LE(ticks[0], 5022);

    platform.SetTick(0xFFFFFFE0u);
    G.LastFrameTick = static_cast<Long>(0xFFFFFFE0u) - 11;
    ticks = FrameTicks(10);
    ASSERT_GE(ticks.size(), 5u);
    for (std::size_t i = 1; i < ticks.size(); ++i) EXPECT_EQ(TickDiff(ticks[i], ticks[i - 1]), 11);
}

TEST_F(FrameLoopTest, TheStripShowsPlainDecimalsAfterAFrame) {
    G.Score = -40;
    G.Energy = 123;
    G.Level = 12;
    G.Wave = 7;
    G.CurrentShip = 2;
    PlayFrames(1);
    EXPECT_EQ(Display().Text2->Text(), "2");  // lives: 3 earned, the second in play
    EXPECT_EQ(Display().Text3->Text(), "12");
    EXPECT_EQ(Display().Text6->Text(), "7");
    EXPECT_EQ(Display().Text7->Text(), "-40");
    EXPECT_EQ(Display().Text9->Text(), "123");
}

// Each step sees what the steps before it in the same pass have left: the
// shot leaves from where the ship has just moved, shots meet the enemies
// before these move, and the points of a hit can earn the ship that keeps
// the game from ending.
TEST_F(FrameLoopTest, EachStepSeesWhatTheStepsBeforeItLeft) {
    PlayFrames(1);
    G.LastShotTick = 0;
    const Long shipX = G.ShipX;
    platform.SetKeyHeld(VK_RIGHT);
    platform.SetKeyHeld(VK_SPACE);
    G.EnemyX[1] = 300;  // 53 wide, flying left at 2 a frame
    G.EnemyY[1] = 200;
    G.ShotActive[1] = True;
    G.ShotX[1] = 352;  // inside now, but not once the enemy has moved
    G.ShotY[1] = 210;
    G.BonusPoints = 9995;
    G.CurrentShip = 4;  // the last ship is gone
    PlayFrames(1);
    EXPECT_EQ(G.ShotX[2], shipX + 5 + 42 + 10);
    EXPECT_EQ(G.EnemyAlive[1], 0);
    EXPECT_EQ(G.ShipsEarned, 4);
    EXPECT_EQ(Display().Text2->Text(), "1");  // no game over: the frame was drawn
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
    G.WaveSetup = False;
    G.EnemyAlive[1] = -1;
    G.EnemyX[1] = 300;
    G.EnemyY[1] = 200;
    G.ShotActive[1] = True;
    G.ShotX[1] = 310;
    G.ShotY[1] = 210;
    const int before = platform.Presents(Display().form);
    G.GameRunning = True;
    EXPECT_THROW(FrameLoop(), ProgramEnd);
    EXPECT_EQ(G.ShipX, x + 5);
    EXPECT_EQ(G.EnemyAlive[1], -1);  // no shot tested
    EXPECT_EQ(G.EnemyX[1], 300);     // no wave moved
    EXPECT_EQ(G.ShieldOn, True);     // ShieldTimer did not run
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

TEST_F(FrameLoopTest, CtrlSpendsTheLastUnitAndAnEmptyStoreCallsTheCarrierInTheSameFrame) {
    G.Energy = 1;
    platform.SetTick(G.SpawnTick + 3000);  // the spawn shield has run out
    platform.SetKeyHeld(VK_CONTROL);
    PlayFrames(1);
    EXPECT_EQ(G.ShieldOn, True);
    EXPECT_EQ(G.Energy, 0);
    EXPECT_EQ(G.CarrierActive, True);  // called, and on its way in the same frame
    EXPECT_EQ(G.CarrierCalled, False);
    PlayFrames(1);  // nothing left: no shield, and the carrier is asked for again
    EXPECT_EQ(G.ShieldOn, False);
    EXPECT_EQ(G.Energy, 0);
    EXPECT_EQ(G.CarrierCalled, True);
}

TEST_F(FrameLoopTest, OnlyTheFinalWaveFires) {
    G.WaveSetup = False;
    G.EnemyCount = 3;
    for (int n = 1; n <= 3; ++n) G.EnemyAlive[n] = -1;
    G.EnemyX[1] = G.EnemyX[2] = G.EnemyX[3] = 2000;
    G.Wave = 5;
    PlayFrames(1);
    EXPECT_EQ(G.FiringEnemy, 0);
    G.Wave = 11;
    G.EnemyAlive[2] = 0;
    for (int n = 1; n <= 3; ++n) G.EnemyDirection[n] = 1;
    PlayFrames(1);
    EXPECT_EQ(G.FiringEnemy, 3);  // enemies 1 and 3 fired, in that order
}

TEST_F(FrameLoopTest, StarsWrapOnlyOnceTheyAreLeftOfTheEdgeAndReEnterWithinTheirRanges) {
    G.Stars[0] = {3, 100, 3, 2, G.ColWhite};  // moves to 0: stays
    G.Stars[1] = {500, 300, 6, 3, RGB(9, 9, 9)};
    PlayFrames(1);
    EXPECT_EQ(G.Stars[0].X, 0);
    EXPECT_EQ(G.Stars[0].Y, 100);
    EXPECT_EQ(G.Stars[1].X, 494);
    EXPECT_EQ(Display().form.Image().Pixel(495, 301), RGB(9, 9, 9));
    // Every star re-enters at the right edge, many times over.
    Long lowest = 10000, highest = 0, slowest = 10, fastest = 0;
    for (int frame = 0; frame < 10; ++frame) {
        for (int i = 0; i <= 100; ++i) G.Stars[i] = {1, 0, 2, 2, G.ColWhite};
        PlayFrames(1);
        for (int i = 0; i <= 100; ++i) {
            const Star& s = G.Stars[i];
            ASSERT_EQ(s.X, 785);
            ASSERT_EQ(s.Size, 2);
            lowest = std::min(lowest, s.Y);
            highest = std::max(highest, s.Y);
            slowest = std::min(slowest, s.Speed);
            fastest = std::max(fastest, s.Speed);
        }
    }
    EXPECT_GE(lowest, 26);
    EXPECT_LT(lowest, 40);
    EXPECT_LE(highest, 617 + 26);
    EXPECT_GT(highest, 600);
    EXPECT_EQ(slowest, 1);
    EXPECT_EQ(fastest, 6);
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
    // Radius 1 around the centre (326.5, 216) of the 53 x 32 box: the box
    // 326..328 x 215..217, its half pixels rounded to even.
    EXPECT_EQ(Extent(Display().form.Image(), RGB(251, 56, 70)),
              (std::array<int, 4>{326, 215, 328, 217}));
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
    const Surface& img = Display().form.Image();
    // The outermost ring touches the left edge of the box grown by five at its middle row.
    G.EnemyHits[1] = 0;
    DrawPlayField();
    for (int m = 1; m <= 5; ++m) EXPECT_EQ(img.Pixel(400 - m, 324), G.ColCyan) << m;
    G.EnemyHits[1] = 5;
    DrawPlayField();
    EXPECT_EQ(Extent(img, G.ColCyan)[2], -1);
    G.Wave = 10;
    G.EnemyHits[1] = 0;
    DrawPlayField();
    EXPECT_EQ(Extent(img, G.ColCyan)[2], -1);
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

// Everything drawn over something else, with solid sprites: each layer hides
// the ones before it where they overlap.
TEST_F(FrameLoopTest, TheLayersOfAFrameLieInTheirDrawingOrder) {
    const Colour ship = RGB(200, 200, 90), enemy = RGB(40, 200, 60), carrier = RGB(120, 130, 140);
    Solid(G.ShipDC, G.ShipMaskDC, ship);
    Solid(G.EnemySpriteDC[11], G.EnemyMaskDC[11], enemy);
    Solid(G.CarrierDC, G.CarrierMaskDC, carrier);
    for (int i = 0; i <= 100; ++i) G.Stars[i] = {1000, 700, 1, 1, G.ColWhite};  // off screen
    G.Stars[0] = {201, 301, 1, 3, G.ColWhite};                                  // under the ship
    G.ShipX = 190;
    G.ShipY = 290;
    G.ShieldOn = True;
    G.Wave = 11;
    G.EnemyCount = 2;
    G.EnemyAlive[1] = -1;  // one ring left, partly under the enemy
    G.EnemyHits[1] = 4;
    G.EnemyX[1] = G.EnemyX[2] = 540;
    G.EnemyY[1] = G.EnemyY[2] = 100;
    G.EnemyAlive[2] = 0;  // exploding on top of it, radius 10 around (568.5, 124)
    G.EnemyBlast[2] = 10;
    G.ShotActive[1] = True;  // flies into the enemy's box
    G.ShotX[1] = 545;
    G.ShotY[1] = 110;
    G.EnemyShotActive(1, 1) = True;  // flies into the explosion
    G.EnemyShotX(1, 1) = 570;
    G.EnemyShotY(1, 1) = 122;
    G.CarrierActive = True;  // over the right of it all and under the strip
    G.CarrierX = 579.5;
    G.CarrierY = 11.5;
    DrawPlayField();

    const Surface& img = Display().form.Image();
    const Colour explosion = RGB(242, 65, 70);
    auto colours = [&](int l, int t, int r, int b) {
        std::set<Colour> seen;
        for (int y = t; y < b; ++y)
            for (int x = l; x < r; ++x) seen.insert(img.Pixel(x, y));
        return seen;
    };
    // The ship hides the star, the shield's outline crosses the ship's corners.
    EXPECT_EQ(img.Pixel(201, 302), ship);
    EXPECT_TRUE(colours(190, 290, 237, 322).count(G.ColBlue));
    // The enemy hides its ring and the shot, the explosion lies on the enemy,
    // the enemy shot on the explosion.
    const std::set<Colour> left = colours(540, 100, 558, 148);
    EXPECT_FALSE(left.count(G.ColCyan));
    EXPECT_FALSE(left.count(G.ColRed));
    EXPECT_EQ(img.Pixel(539, 124), G.ColCyan);
    EXPECT_EQ(img.Pixel(575, 124), explosion);
    EXPECT_EQ(img.Pixel(562, 124), G.ColYellow);
    // The carrier, at (580, 12) with its halves rounded to even, covers the
    // rest; the separator runs over it.
    EXPECT_EQ(Extent(img, carrier), (std::array<int, 4>{580, 12, 785, 226}));
    EXPECT_EQ(img.Pixel(590, 124), carrier);
    EXPECT_EQ(img.Pixel(700, 25), G.ColWhite);
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
