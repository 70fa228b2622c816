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

TEST_F(ShotHits, TenPointsTimesWaveTimesLevelAtMostAHundred) {
    const Long cases[][3] = {{1, 9, 90}, {1, 10, 100}, {2, 4, 80}, {2, 6, 100}, {40, 10, 100}};
    for (const auto& [level, wave, points] : cases) {
        G.Score = 500;
        G.BonusPoints = 9000;
        Wave(wave, level, 1);
        Enemy(1, 300, 200);
        Shot(5, 302, 202);
        ShotsHitEnemies();
        EXPECT_EQ(std::tuple(G.Score, G.BonusPoints), std::tuple(500 + points, 9000 + points))
            << "level " << level << ", wave " << wave;
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
        EXPECT_EQ(std::tuple(G.ShotActive[1], G.EnemyHits[1], G.EnemyAlive[1], G.Score),
                  std::tuple(False, 6 - rings, rings == 0 ? 0 : -1, rings == 0 ? 330 : 0));
    }
    EXPECT_EQ(std::tuple(G.EnemyBlast[1], G.ShotActive[2], G.BonusPoints),
              std::tuple(1, True, 330));

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

}  // namespace
}  // namespace vorlax
