// Player shots against enemies: the hit test, points, and the final wave's armour.
#include "gameplay/shot_hits.h"

#include <gtest/gtest.h>

#include <tuple>

#include "support/play_fixture.h"

namespace vorlax {
namespace {

class ShotHits : public testing::PlayTest {
  protected:
    void Wave(Long wave, Long level, Long count) {
        G.Wave = wave;
        G.Level = level;
        G.EnemyCount = count;
    }
};

TEST_F(ShotHits, OnlyACornerStrictlyInsideTheBoxHits) {
    // Wave 1's enemies are 53 x 32; this one covers 300..352 x 200..231.
    for (const EdgePoint& c : EdgesOfOpenBox(300, 200, 353, 232)) {
        SCOPED_TRACE(std::to_string(c.x) + ", " + std::to_string(c.y));
        Wave(1, 1, 3);
        G.Score = 0;
        Enemy(2, 300, 200);
        Shot(4, c.x, c.y);
        ShotsHitEnemies();
        EXPECT_EQ(std::tuple(G.EnemyAlive[2], G.EnemyBlast[2], G.ShotActive[4], G.Score),
                  c.inside ? std::tuple(0, 1, False, 10) : std::tuple(-1, 0, True, 0));
    }
}

TEST_F(ShotHits, OneShotBringsDownEveryEnemyHoldingItsCorner) {
    Wave(3, 2, 3);  // 107 x 32, 60 points each
    Enemy(1, 100, 100);
    Enemy(2, 500, 100);
    Enemy(3, 150, 110);  // overlaps enemy 1
    Shot(1, 160, 120);
    Shot(2, 161, 121);  // finds both gone
    ShotsHitEnemies();
    EXPECT_EQ(std::tuple(G.EnemyAlive[1], G.EnemyAlive[2], G.EnemyAlive[3]), std::tuple(0, -1, 0));
    EXPECT_EQ(std::tuple(G.Score, G.BonusPoints, G.ShotActive[1], G.ShotActive[2]),
              std::tuple(120, 120, False, True));
}

// Nothing hits an exploding enemy, nor does a spent shot; hits left over
// from the final wave count for nothing later.
TEST_F(ShotHits, ExplodingEnemiesSpentShotsAndOldHitsCountForNothing) {
    Wave(2, 1, 1);
    Enemy(1, 300, 200);
    G.EnemyAlive[1] = 0;
    G.EnemyBlast[1] = 7;
    G.EnemyHits[1] = 6;
    Shot(1, 310, 210);
    ShotsHitEnemies();
    EXPECT_EQ(G.ShotActive[1], True);
    EXPECT_EQ(G.EnemyBlast[1], 7);
    G.ShotActive[1] = False;
    Enemy(1, 300, 200);
    ShotsHitEnemies();
    EXPECT_EQ(G.EnemyAlive[1], -1);
    EXPECT_EQ(G.Score, 0);
}

TEST_F(ShotHits, TenPointsTimesWaveTimesLevelAtMostAHundred) {
    const Long table[4][11] = {{},
                               {0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100},
                               {0, 20, 40, 60, 80, 100, 100, 100, 100, 100, 100},
                               {0, 30, 60, 90, 100, 100, 100, 100, 100, 100, 100}};
    for (Long level : {1, 2, 3, 10, 40}) {
        for (Long wave = 1; wave <= 10; ++wave) {
            G.Score = 500;
            G.BonusPoints = 9000;
            Wave(wave, level, 1);
            Enemy(1, 300, 200);
            Shot(5, 302, 202);
            ShotsHitEnemies();
            const Long points = level <= 3 ? table[level][wave] : 100;
            EXPECT_EQ(G.Score, 500 + points) << "level " << level << ", wave " << wave;
            EXPECT_EQ(G.BonusPoints, 9000 + points);
        }
    }
}

// A final-wave enemy is laid out with one hit counted and wears four rings,
// the largest touching its box grown by five. Each hit takes off the
// largest; the fifth brings it down for 110 points per level, uncapped, and
// a second shot in the same pass flies on. Other waves wear no rings.
TEST_F(ShotHits, TheFinalWaveTakesFiveHitsEachTakingOffTheLargestRing) {
    Wave(11, 3, 1);
    Enemy(1, 400, 300);  // 57 x 48
    const Surface& image = Display().form.Image();
    for (int rings = 5; rings >= 0; --rings) {
        G.EnemyHits[1] = 5 - rings;
        MoveAndDrawPlayField();
        for (int m = 1; m <= 5; ++m) {
            EXPECT_EQ(image.Pixel(400 - m, 324) == G.ColCyan, m <= rings)
                << rings << " rings, grown by " << m;
        }
        Shot(1, 410, 310);
        if (rings == 0) Shot(2, 420, 320);
        ShotsHitEnemies();
        EXPECT_EQ(G.ShotActive[1], False);
        EXPECT_EQ(G.EnemyHits[1], 6 - rings);
        EXPECT_EQ(G.EnemyAlive[1], rings == 0 ? 0 : -1);
        EXPECT_EQ(G.Score, rings == 0 ? 330 : 0);
    }
    EXPECT_EQ(G.EnemyBlast[1], 1);
    EXPECT_EQ(G.ShotActive[2], True);
    EXPECT_EQ(G.BonusPoints, 330);

    Wave(11, 10, 1);
    Enemy(1, 400, 300);
    G.EnemyHits[1] = 5;
    Shot(3, 410, 310);
    ShotsHitEnemies();
    EXPECT_EQ(G.Score, 330 + 1100);

    Wave(10, 1, 1);
    Enemy(1, 400, 300);
    G.EnemyHits[1] = 0;
    MoveAndDrawPlayField();
    EXPECT_EQ(testing::Extent(image, G.ColCyan)[2], -1);
}

TEST_F(ShotHits, InPlayAHitExplodesScoresAndEarnsTheExtraShip) {
    platform.Advance(3000);  // the spawn shield is gone
    PlayFrames(1);           // the first wave is laid out
    InPlay(10, 1);
    Enemy(1, 400, 300);
    G.BonusPoints = 9950;
    G.Score = 9950;
    G.CarrierActive = True;  // shots in flight still hit while the carrier is on screen
    Shot(1, 420, 320);
    PlayFrames(1);
    // Drawn once already, where the carrier sent it.
    EXPECT_EQ(std::tuple(G.EnemyAlive[1], G.EnemyBlast[1], G.BonusPoints), std::tuple(0, 2, 0));
    EXPECT_EQ(std::tuple(Display().Text7->Text(), Display().Text2->Text()),
              std::tuple("10050", "4"));
}

}  // namespace
}  // namespace vorlax
