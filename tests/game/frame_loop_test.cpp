// The frame loop: pacing, the order of a pass, the strip, and what each
// drawing step leaves behind.
#include "game/frame_loop.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>

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
    EXPECT_EQ(std::tuple(G.ShotX[2], G.EnemyAlive[1], G.ShipsEarned),
              std::tuple(shipX + 5 + 42 + 10, 0, 4));
    EXPECT_EQ(Display().Text2->Text(), "1");  // no game over: the frame was drawn
}

TEST_F(FrameLoopTest, PHeldStillDrawsTheWholeFrame) {
    platform.SetKeyHeld(VK_P);
    G.Score = 77;
    const int before = platform.Presents(Display().form);
    G.GameRunning = True;
    FrameLoop();  // returns after the first frame's yield
    EXPECT_EQ(std::tuple(G.Paused, G.GameRunning), std::tuple(True, False));
    EXPECT_EQ(platform.Presents(Display().form), before + 1);
    EXPECT_EQ(Display().Text7->Text(), "77");
}

// The strip shows plain decimals after each frame; an extra ship needs more
// than 10000 bonus points, one per frame, the excess dropped; at game over
// the loop returns without drawing and the strip keeps its values (never
// 0 lives).
TEST_F(FrameLoopTest, TheStripExtraShipsAndGameOver) {
    std::tie(G.Score, G.Energy, G.Level, G.Wave, G.CurrentShip, G.BonusPoints) =
        std::tuple(-40, 123, 12, 7, 2, 10000);
    PlayFrames(1);
    const DisplayWindow& d = Display();
    auto strip = [&] {
        return std::vector<std::string>{d.Text2->Text(), d.Text3->Text(), d.Text6->Text(),
                                        d.Text7->Text(), d.Text9->Text()};
    };
    EXPECT_EQ(strip(), (std::vector<std::string>{"2", "12", "7", "-40", "123"}));
    EXPECT_EQ(std::tuple(G.ShipsEarned, G.BonusPoints), std::tuple(3, 10000));
    G.BonusPoints = 10001;
    PlayFrames(1);
    EXPECT_EQ(std::tuple(G.ShipsEarned, G.BonusPoints), std::tuple(4, 0));
    EXPECT_EQ(d.Text2->Text(), "3");
    G.BonusPoints = 25000;  // one ship a frame, the excess dropped
    PlayFrames(1);
    EXPECT_EQ(std::tuple(G.ShipsEarned, G.BonusPoints), std::tuple(5, 0));
    const int before = platform.Presents(Display().form);
    G.BonusPoints = 0;
    G.CurrentShip = G.ShipsEarned + 1;  // the last ship is gone
    G.Score = 999;
    G.GameRunning = True;
    FrameLoop();
    EXPECT_EQ(G.GameRunning, False);
    EXPECT_EQ(platform.Presents(Display().form), before);
    EXPECT_EQ(strip(), (std::vector<std::string>{"4", "12", "7", "-40", "123"}));
}

// Ctrl costs a unit a frame, under the spawn shield too.
TEST_F(FrameLoopTest, CtrlSpendsTheLastUnitAndAnEmptyStoreCallsTheCarrierInTheSameFrame) {
    platform.SetKeyHeld(VK_CONTROL);
    PlayFrames(1);
    ASSERT_EQ(std::tuple(G.ShieldOn, G.Energy), std::tuple(True, 499));
    G.Energy = 1;
    platform.SetTick(G.SpawnTick + 3000);  // the spawn shield has run out
    PlayFrames(1);
    // Called, and on its way in the same frame.
    EXPECT_EQ(std::tuple(G.ShieldOn, G.Energy, G.CarrierActive, G.CarrierCalled),
              std::tuple(True, 0, True, False));
    PlayFrames(1);  // nothing left: no shield, and the carrier is asked for again
    EXPECT_EQ(std::tuple(G.ShieldOn, G.Energy, G.CarrierCalled), std::tuple(False, 0, True));
    SurfaceOf(G.CarrierMaskDC)->Fill(RGB(255, 255, 255));  // a hull the ship cannot touch
    std::tie(G.CarrierX, G.CarrierY) = std::tuple(100.0, 200.0);
    ShipAt(700, 360);  // in its docking bay
    PlayFrames(1);
    EXPECT_EQ(G.Energy, 500);
}

TEST_F(FrameLoopTest, StarsWrapOnlyOnceLeftOfTheEdgeAndReEnterAtAFreshHeightAndSpeed) {
    G.Stars[0] = {3, 100, 3, 2, G.ColWhite};  // moves to 0: stays
    G.Stars[1] = {500, 300, 6, 3, RGB(9, 9, 9)};
    PlayFrames(1);
    EXPECT_EQ(std::tuple(G.Stars[0].X, G.Stars[0].Y, G.Stars[1].X), std::tuple(0, 100, 494));
    EXPECT_EQ(Display().form.Image().Pixel(495, 301), RGB(9, 9, 9));
    // In a window two rows high a star re-enters at the right edge on row
    // 26, 27 or 28 at a speed of 1 to 6, the two drawn apart: every pairing
    // of the outer rows and speeds turns up.
    Display().form.SetClientSize(785, 2);
    std::set<std::pair<Long, Long>> seen;
    for (int frame = 0; frame < 10; ++frame) {
        for (int i = 0; i <= 100; ++i) G.Stars[i] = {1, 0, 2, 2, G.ColWhite};
        PlayFrames(1);
        for (int i = 0; i <= 100; ++i) {
            ASSERT_EQ(std::tuple(G.Stars[i].X, G.Stars[i].Size), std::tuple(785, 2));
            seen.insert({G.Stars[i].Y, G.Stars[i].Speed});
        }
    }
    EXPECT_TRUE(seen.begin()->first == 26 && seen.rbegin()->first == 28);
    for (Long y : {26, 28})
        for (Long speed : {1, 6}) EXPECT_EQ(seen.count({y, speed}), 1u) << y << ", " << speed;
}

// Only the final wave fires, its live enemies in turn, and moves enemy
// shots. A shot at the right edge stays and one beyond is retired after its
// last draw; enemy shots likewise below 0.
TEST_F(FrameLoopTest, OnlyTheFinalWaveFiresAndShotsAreRetiredOnlyBeyondTheEdge) {
    InPlay(5, 3);
    for (int n = 1; n <= 3; ++n) Enemy(n, 2000, 100 * n);
    Shot(1, 775, 300);  // moves to 785 = the client width
    Shot(2, 776, 400);  // moves to 786
    EnemyShot(1, 1, 10, 100);
    EnemyShot(3, 10, 9, 200);
    PlayFrames(1);
    EXPECT_EQ(std::tuple(G.ShotActive[1], G.ShotActive[2], G.ShotX[2]),
              std::tuple(True, False, 786));
    EXPECT_EQ(std::tuple(G.FiringEnemy, G.EnemyShotX(1, 1)), std::tuple(0, 10));
    G.Wave = 11;
    G.EnemyAlive[2] = 0;
    for (int n = 1; n <= 3; ++n) G.EnemyDirection[n] = 1;
    platform.Advance(3000);                       // the spawn shield is gone
    EnemyShot(2, 5, G.ShipX + 20, G.ShipY + 10);  // moves into the ship
    PlayFrames(1);
    EXPECT_EQ(G.CurrentShip, 2);
    EXPECT_EQ(G.FiringEnemy, 3);  // enemies 1 and 3 fired, in that order
    EXPECT_EQ(G.EnemyShotActive(2, 1), False) << "a shot-down enemy fires no more";
    EXPECT_EQ(std::tuple(G.EnemyShotX(1, 1), G.EnemyShotActive(1, 1), G.EnemyShotActive(3, 10)),
              std::tuple(0, True, False));
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

// One frame drawn from a known state with solid sprites: where each thing
// lands and its size, and each layer hiding the ones before it where they
// overlap.
TEST_F(FrameLoopTest, TheThingsOfAFrameLieWhereAndInTheOrderTheyAreDrawn) {
    const Colour ship = RGB(200, 200, 90), enemy = RGB(40, 200, 60), carrier = RGB(120, 130, 140);
    Solid(G.ShipDC, G.ShipMaskDC, ship);
    Solid(G.EnemySpriteDC[11], G.EnemyMaskDC[11], enemy);
    Solid(G.CarrierDC, G.CarrierMaskDC, carrier);
    for (int i = 0; i <= 100; ++i) G.Stars[i] = {1000, 700, 1, 1, G.ColWhite};  // off screen
    G.Stars[0] = {201, 301, 1, 3, G.ColWhite};                                  // under the ship
    ShipAt(190, 290);
    G.ShieldOn = True;
    InPlay(11, 2);
    Enemy(1, 540, 100);  // one ring left, partly under the enemy
    G.EnemyHits[1] = 4;
    Enemy(2, 540, 100);  // exploding on top of it, radius 10 around (568.5, 124)
    G.EnemyAlive[2] = 0;
    G.EnemyBlast[2] = 10;
    Shot(1, 545, 110);          // flies into the enemy's box
    Shot(2, 290, 400);          // moves 10 to the right
    EnemyShot(1, 1, 570, 122);  // flies into the explosion
    G.CarrierActive = True;     // over the right of it all and under the strip
    G.CarrierX = 579.5;
    G.CarrierY = 11.5;
    MoveAndDrawPlayField();

    const Surface& img = Display().form.Image();
    auto count = [&](Colour colour, int l, int t, int r, int b) {
        int n = 0;
        for (int y = t; y < b; ++y)
            for (int x = l; x < r; ++x) n += img.Pixel(x, y) == colour;
        return n;
    };
    // The ship hides the star; the shield's outline lies around it and
    // over the ship's corners.
    EXPECT_EQ(Extent(img, ship), (std::array<int, 4>{190, 290, 237, 322}));
    EXPECT_EQ(Extent(img, G.ColBlue), (std::array<int, 4>{188, 288, 239, 324}));
    EXPECT_GT(count(G.ColBlue, 190, 290, 237, 322), 0);
    // The enemy hides its ring and the first shot, the explosion lies on the
    // enemy, the enemy shot on the explosion; the other shot is a 5 x 5 disc.
    EXPECT_EQ(count(G.ColCyan, 540, 100, 558, 148), 0);
    EXPECT_EQ(img.Pixel(539, 124), G.ColCyan);
    EXPECT_EQ(img.Pixel(575, 124), RGB(242, 65, 70));
    EXPECT_EQ(img.Pixel(562, 124), G.ColYellow);
    EXPECT_EQ(Extent(img, G.ColRed), (std::array<int, 4>{300, 400, 305, 405}));
    EXPECT_NE(img.Pixel(300, 400), G.ColRed);
    // The carrier, at (580, 12) with its halves rounded to even, covers the
    // rest; the separator runs over it.
    EXPECT_EQ(Extent(img, carrier), (std::array<int, 4>{580, 12, 785, 226}));
    EXPECT_EQ(img.Pixel(590, 124), carrier);
    EXPECT_EQ(count(G.ColWhite, 0, 25, 785, 26), 785);
    G.ShieldOn = False;
    MoveAndDrawPlayField();
    EXPECT_EQ(count(G.ColBlue, 0, 0, 785, 617), 0) << "no shield, no outline";
}

// A clock that moves on a millisecond at every reading, as time passes while
// a frame is worked out and drawn.
class BusyClock : public HeadlessPlatform {
  public:
    std::uint32_t GetTickCount() override {
        const std::uint32_t now = HeadlessPlatform::GetTickCount();
        Advance(1);
        return now;
    }
    void PresentForm(Form& form) override {
        shownAt = HeadlessPlatform::GetTickCount();
        HeadlessPlatform::PresentForm(form);
    }
    std::uint32_t shownAt = 0;
};

// The next frame is timed from a reading taken once the frame is drawn,
// just before it is shown, not from the frame's first reading.
TEST_F(FrameLoopTest, TheNextFrameIsTimedFromTheEndOfTheDrawing) {
    BusyClock clock;
    clock.SetTick(platform.GetTickCount());
    clock.EveryYield([] { G.GameRunning = False; });
    SetCurrentPlatform(&clock);
    G.GameRunning = True;
    FrameLoop();
    SetCurrentPlatform(&platform);
    EXPECT_GT(G.LastFrameTick, G.NowTick + 1);
    EXPECT_EQ(static_cast<std::uint32_t>(G.LastFrameTick) + 1, clock.shownAt);
}

// An enemy shot that costs the ship is tested once the enemy shots are drawn
// and before the carrier is: the carrier leaves with the lost ship unseen,
// and the separator runs over the ship's explosion.
TEST_F(FrameLoopTest, AShotThatCostsTheShipIsTestedBeforeTheCarrierAndSeparatorAreDrawn) {
    const Colour carrier = RGB(120, 130, 140);
    Solid(G.CarrierDC, G.CarrierMaskDC, carrier);
    ShipAt(100, 30);  // the explosion swells above the separator
    G.ShieldOn = False;
    InPlay(11, 0);
    EnemyShot(1, 1, 120, 40);  // inside the ship's box once it has flown on
    G.CarrierActive = True;
    G.CarrierX = 300;
    G.CarrierY = 300;
    MoveAndDrawPlayField();
    const Surface& img = Display().form.Image();
    EXPECT_EQ(std::tuple(G.CurrentShip, G.CarrierActive), std::tuple(2, False));
    EXPECT_EQ(Extent(img, carrier)[2], -1);
    EXPECT_EQ(img.Pixel(123, kPlayFieldTop), G.ColWhite);
    EXPECT_NE(img.Pixel(123, kPlayFieldTop + 1), G.ColWhite);
}

}  // namespace
}  // namespace vorlax
