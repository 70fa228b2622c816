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

    // Turns a sprite into a solid w x h block of one colour, so that what is
    // drawn over what shows everywhere in its box.
    static void Solid(SurfaceHandle picture, SurfaceHandle mask, Colour colour) {
        Surface& p = *SurfaceOf(picture);
        *SurfaceOf(mask) = Surface(p.Width(), p.Height(), 0);
        p = Surface(p.Width(), p.Height(), colour);
    }
};

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
    Enemy(1, 300, 200);  // 53 wide, flying left at 2 a frame
    Shot(1, 352, 210);   // inside now, but not once the enemy has moved
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
    Enemy(1, 300, 200);
    Shot(1, 310, 210);
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

// The strip shows plain decimals after each frame; at game over the loop
// returns without drawing and the strip keeps its values (never 0 lives).
TEST_F(FrameLoopTest, TheStripAfterAFrameAndAtGameOver) {
    G.Score = -40;
    G.Energy = 123;
    G.Level = 12;
    G.Wave = 7;
    G.CurrentShip = 2;
    PlayFrames(1);
    const DisplayWindow& d = Display();
    auto strip = [&] {
        return std::vector<std::string>{d.Text2->Text(), d.Text3->Text(), d.Text6->Text(),
                                        d.Text7->Text(), d.Text9->Text()};
    };
    EXPECT_EQ(strip(), (std::vector<std::string>{"2", "12", "7", "-40", "123"}));
    const int before = platform.Presents(Display().form);
    G.CurrentShip = 4;  // the last ship is gone
    G.Score = 999;
    G.GameRunning = True;
    FrameLoop();
    EXPECT_EQ(G.GameRunning, False);
    EXPECT_EQ(platform.Presents(Display().form), before);
    EXPECT_EQ(strip(), (std::vector<std::string>{"2", "12", "7", "-40", "123"}));
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
    InPlay(5, 3);
    for (int n = 1; n <= 3; ++n) Enemy(n, 2000, 100 * n);
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

// A shot at the right edge stays and one beyond is retired after its last
// draw; enemy shots move left only on the final wave and are retired
// likewise below 0.
TEST_F(FrameLoopTest, ShotsAreRetiredOnlyOnceBeyondTheEdgeAfterTheirLastDraw) {
    Shot(1, 775, 300);  // moves to 785 = the client width
    Shot(2, 776, 400);  // moves to 786
    EnemyShot(1, 1, 10, 100);
    EnemyShot(3, 10, 9, 200);
    G.Wave = 5;
    PlayFrames(1);
    EXPECT_EQ(G.ShotActive[1], True);
    EXPECT_EQ(G.ShotActive[2], False);
    EXPECT_EQ(G.ShotX[2], 786);
    EXPECT_EQ(G.EnemyShotX(1, 1), 10);
    G.Wave = 11;
    G.EnemyCount = 0;
    DrawPlayField();
    EXPECT_EQ(G.EnemyShotX(1, 1), 0);
    EXPECT_EQ(G.EnemyShotActive(1, 1), True);
    EXPECT_EQ(G.EnemyShotActive(3, 10), False);
    EXPECT_EQ(Display().form.Image().Pixel(-1 + 2, 202), G.ColYellow);
}

TEST_F(FrameLoopTest, ExplosionsRunTwentyFramesFromRadiusOne) {
    InPlay(1, 3);
    Enemy(2, 300, 200);
    G.EnemyAlive[2] = 0;
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

// Everything drawn over something else, with solid sprites: each layer hides
// the ones before it where they overlap.
TEST_F(FrameLoopTest, TheLayersOfAFrameLieInTheirDrawingOrder) {
    const Colour ship = RGB(200, 200, 90), enemy = RGB(40, 200, 60), carrier = RGB(120, 130, 140);
    Solid(G.ShipDC, G.ShipMaskDC, ship);
    Solid(G.EnemySpriteDC[11], G.EnemyMaskDC[11], enemy);
    Solid(G.CarrierDC, G.CarrierMaskDC, carrier);
    for (int i = 0; i <= 100; ++i) G.Stars[i] = {1000, 700, 1, 1, G.ColWhite};  // off screen
    G.Stars[0] = {201, 301, 1, 3, G.ColWhite};                                  // under the ship
    ShipAt(190, 290);
    G.ShieldOn = True;
    G.Wave = 11;
    G.EnemyCount = 2;
    G.EnemyAlive[1] = -1;  // one ring left, partly under the enemy
    G.EnemyHits[1] = 4;
    G.EnemyX[1] = G.EnemyX[2] = 540;
    G.EnemyY[1] = G.EnemyY[2] = 100;
    G.EnemyAlive[2] = 0;  // exploding on top of it, radius 10 around (568.5, 124)
    G.EnemyBlast[2] = 10;
    Shot(1, 545, 110);          // flies into the enemy's box
    EnemyShot(1, 1, 570, 122);  // flies into the explosion
    G.CarrierActive = True;     // over the right of it all and under the strip
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

// One frame drawn from a known state: where each thing lands, and its size.
TEST_F(FrameLoopTest, StarsShipShieldShotAndSeparatorLandWhereTheyShould) {
    for (int i = 0; i <= 100; ++i) G.Stars[i] = {1000, 700, 1, 1, G.ColWhite};  // off screen
    G.Stars[0] = {101, 60, 1, 1, G.ColWhite};
    G.Stars[1] = {201, 70, 1, 2, G.ColWhite};
    G.Stars[2] = {301, 80, 1, 3, G.ColWhite};
    ShipAt(100, 200);
    G.ShieldOn = True;
    Shot(1, 190, 211);
    G.EnemyCount = 0;
    DrawPlayField();

    const Surface& img = Display().form.Image();
    auto whites = [&](int l, int t, int r, int b) {
        int n = 0;
        for (int y = t; y < b; ++y)
            for (int x = l; x < r; ++x) n += img.Pixel(x, y) == G.ColWhite;
        return n;
    };
    EXPECT_EQ(whites(90, 50, 110, 70), 0);   // size 1: a 1 x 1 ellipse paints nothing
    EXPECT_EQ(whites(190, 60, 210, 80), 4);  // size 2: a 2 x 2 block
    EXPECT_EQ(img.Pixel(200, 70), G.ColWhite);
    EXPECT_EQ(whites(290, 70, 310, 90), 5);  // size 3: a plus, the corners left out
    EXPECT_EQ(img.Pixel(300, 81), G.ColWhite);
    EXPECT_EQ(img.Pixel(301, 80), G.ColWhite);
    EXPECT_EQ(Extent(img, RGB(200, 200, 90)), (std::array<int, 4>{100, 200, 147, 232}));
    EXPECT_EQ(img.Pixel(100, 200), RGB(1, 0, 1)) << "the ship's mask keeps its corners";
    EXPECT_EQ(Extent(img, G.ColBlue), (std::array<int, 4>{98, 198, 149, 234}));
    // The shot moved 10 to the right: a 5 x 5 disc, corners left out.
    EXPECT_EQ(Extent(img, G.ColRed), (std::array<int, 4>{200, 211, 205, 216}));
    EXPECT_NE(img.Pixel(200, 211), G.ColRed);
    EXPECT_EQ(whites(0, 25, 785, 26), 785);
}

}  // namespace
}  // namespace vorlax
