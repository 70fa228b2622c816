// The ship against enemies and the carrier, pixel by pixel: the shared
// rectangle, which of its pixels count, the shield, and one ship per frame.
#include "gameplay/collision.h"

#include <gtest/gtest.h>

#include <tuple>
#include <utility>

#include "support/play_fixture.h"

namespace vorlax {
namespace {

constexpr Colour kWhite = RGB(255, 255, 255);

using Dot = std::pair<int, int>;

// Makes a mask solid everywhere, or clear everywhere but at `dots`.
void SetMask(SurfaceHandle mask, bool solid, std::initializer_list<Dot> dots = {}) {
    Surface& m = *SurfaceOf(mask);
    m.Fill(solid ? 0 : kWhite);
    for (auto [x, y] : dots) m.SetPixel(x, y, 0);
}

class Collision : public testing::PlayTest {
  protected:
    Collision() {
        G.Wave = 1;
        G.EnemyCount = 3;
    }
    // The ship at (x, y), the only live enemy, number 1, at (ex, ey), and no carrier.
    void Place(Long x, Long y, Long ex, Long ey) {
        ShipAt(x, y);
        for (int i = 1; i <= 10; ++i) G.EnemyAlive[i] = 0;
        Enemy(1, ex, ey);
        G.CurrentShip = 1;
        G.ShieldOn = False;  // a lost ship comes back shielded
        G.CarrierActive = False;
    }
    // The carrier on screen at (x, y), the ship at (sx, sy).
    void PlaceCarrier(Long sx, Long sy, double x, double y) {
        Place(sx, sy, 2000, 2000);
        G.CarrierActive = True;
        G.CarrierX = x;
        G.CarrierY = y;
    }
    bool Lost() { return G.CurrentShip == 2; }
    // Where the two masks were laid on the scratch picture: with both masks
    // clear, exactly the shared rectangle is white.
    std::array<int, 4> Shared() {
        return testing::Extent(Display().CollisionPict->Image(), kWhite);
    }
};

// Ship at (100, 100), a 53 x 32 enemy at (130, 110): the shared rectangle is
// 17 x 22, from ship column 30 and row 10. Ship at (600, 240), the carrier at
// (50.25, 80): cw = 763.25 gives carrier column 550, ch = 54 row 160, both
// then cut to the ship's 47 x 32. Only the inner pixels of a shared
// rectangle are read: a single solid pixel in one mask, the other solid all
// over, shows where each mask lies and which pixels count.
TEST_F(Collision, TheSharedRectanglesAndTheirInnerPixels) {
    SetMask(G.ShipMaskDC, false);
    SetMask(G.EnemyMaskDC[1], false);
    SetMask(G.CarrierMaskDC, false);
    Place(100, 100, 130, 110);
    CheckShipCollision();
    EXPECT_EQ(Shared(), (std::array<int, 4>{0, 0, 17, 22}));
    EXPECT_FALSE(Lost());
    PlaceCarrier(600, 240, 50.25, 80);
    CheckShipCollision();
    EXPECT_EQ(Shared(), (std::array<int, 4>{0, 0, 47, 32}));
    // Rounded from the carrier's exact position, ties to even: 26.75 -> 27
    // columns and 22.5 -> 22 rows.
    PlaceCarrier(100, 100, 120.25, 109.5);
    CheckShipCollision();
    EXPECT_EQ(Shared(), (std::array<int, 4>{0, 0, 27, 22}));

    enum Where { kEnemy, kShip, kCarrier };  // the mask holding the dot
    struct Case {
        Where where;
        Dot dot;
        bool hit;
    };
    const Case cases[] = {
        {kEnemy, {0, 5}, false},      {kEnemy, {1, 1}, true},       {kEnemy, {15, 20}, true},
        {kEnemy, {16, 5}, false},     {kEnemy, {5, 21}, false},     {kShip, {30, 20}, false},
        {kShip, {31, 11}, true},      {kShip, {46, 20}, false},     {kCarrier, {550, 161}, false},
        {kCarrier, {551, 161}, true}, {kCarrier, {595, 190}, true}, {kCarrier, {560, 191}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.where) + ": " + std::to_string(c.dot.first) + ", " +
                     std::to_string(c.dot.second));
        const SurfaceHandle other = c.where == kCarrier ? G.CarrierMaskDC : G.EnemyMaskDC[1];
        SetMask(c.where == kShip ? other : G.ShipMaskDC, true);
        SetMask(c.where == kShip ? G.ShipMaskDC : other, false, {c.dot});
        if (c.where == kCarrier)
            PlaceCarrier(600, 240, 50.25, 80);
        else
            Place(100, 100, 130, 110);
        CheckShipCollision();
        EXPECT_EQ(Lost(), c.hit);
    }
}

TEST_F(Collision, TheShieldGuardsAgainstEnemiesButNotTheCarrier) {
    SetMask(G.ShipMaskDC, true);
    SetMask(G.EnemyMaskDC[1], true);
    SetMask(G.CarrierMaskDC, true);
    Place(100, 100, 120, 110);
    G.ShieldOn = True;
    CheckShipCollision();
    EXPECT_FALSE(Lost());
    EXPECT_EQ(G.EnemyAlive[1], -1);

    // While the carrier is on screen the enemies are not tested, shield or not.
    G.ShieldOn = False;
    PlaceCarrier(100, 100, 500, 300);
    Enemy(1, 120, 110);
    CheckShipCollision();
    EXPECT_FALSE(Lost());
    EXPECT_EQ(G.EnemyAlive[1], -1);

    PlaceCarrier(480, 290, 500, 300);
    G.ShieldOn = True;
    G.Energy = 7;
    CheckShipCollision();
    EXPECT_TRUE(Lost());
    EXPECT_EQ(G.CarrierActive, False);  // gone with the ship
    EXPECT_EQ(G.Energy, 500);
}

TEST_F(Collision, EveryEnemyTouchedVanishesButTheShipIsLostOnce) {
    SetMask(G.ShipMaskDC, true);
    SetMask(G.EnemyMaskDC[1], true);
    Place(100, 100, 120, 110);
    Enemy(3, 80, 90);    // touching too
    Enemy(2, 400, 400);  // elsewhere
    G.WaveSetup = True;
    G.Score = 50;
    const std::uint32_t before = platform.GetTickCount();
    CheckShipCollision();
    EXPECT_EQ(G.CurrentShip, 2);
    EXPECT_EQ(platform.GetTickCount(), before + 500) << "one explosion";
    EXPECT_EQ(G.WaveSetup, False);
    EXPECT_EQ(std::tuple(G.EnemyAlive[1], G.EnemyAlive[2], G.EnemyAlive[3]), std::tuple(0, -1, 0));
    EXPECT_EQ(G.EnemyBlast[1] + G.EnemyBlast[3], 0) << "no explosion, no points";
    EXPECT_EQ(G.Score, 50);
    EXPECT_EQ(G.ShipX, 173);  // the next ship
}

// Every pair is tested on a black picture: what an earlier enemy left there
// would hide a solid pixel of the next.
TEST_F(Collision, EachEnemyIsTestedOnAFreshScratchPicture) {
    SetMask(G.ShipMaskDC, false, {{20, 10}, {20, 11}});
    SetMask(G.EnemyMaskDC[1], true);
    Place(100, 100, 130, 100);  // shares ship columns 30..46 only
    Enemy(2, 110, 100);         // shares columns 10..46
    CheckShipCollision();
    EXPECT_TRUE(Lost());
    EXPECT_EQ(std::tuple(G.EnemyAlive[1], G.EnemyAlive[2]), std::tuple(-1, 0));
}

}  // namespace
}  // namespace vorlax
