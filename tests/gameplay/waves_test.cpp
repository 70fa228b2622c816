// The waves: every formation on the first three levels, the five flight
// patterns at their wraps, the pause after a cleared wave, and the advance.
#include "gameplay/waves.h"

#include <gtest/gtest.h>

#include <tuple>

#include "core/numbers.h"
#include "support/play_fixture.h"

namespace vorlax {
namespace {

constexpr double W = 785, H = 617;  // the display window's designed size

class Waves : public testing::PlayTest {
  protected:
    // One enemy of `wave`, alive and standing at (x, y).
    void Lone(int wave, Long x, Long y, Long speed) {
        InPlay(wave, 1);
        Enemy(1, x, y);
        G.EnemySpeed[1] = speed;
    }
};

// Enemy counts by level and wave.
constexpr int kCounts[4][12] = {{},
                                {0, 3, 4, 5, 6, 7, 8, 9, 6, 10, 10, 1},
                                {0, 10, 10, 10, 10, 10, 10, 10, 6, 10, 10, 2},
                                {0, 10, 10, 10, 10, 10, 10, 10, 6, 10, 10, 3}};
// Waves 1 to 6 come in from the right, a tenth of the width apart (ties to even: 863.5, 1020.5).
constexpr Long kFromTheRight[11] = {0, 785, 864, 942, 1020, 1099, 1178, 1256, 1334, 1413, 1492};
// Waves 7 and 10 rise from the bottom edge and below, a tenth of the height apart.
constexpr Long kFromBelow[11] = {0, 617, 679, 740, 802, 864, 926, 987, 1049, 1111, 1172};

TEST_F(Waves, EveryFormationOfTheFirstThreeLevels) {
    for (int level = 1; level <= 3; ++level) {
        for (int wave = 1; wave <= 11; ++wave) {
            SCOPED_TRACE("level " + std::to_string(level) + ", wave " + std::to_string(wave));
            RunWave();  // lays the formation out
            const int n = kCounts[level][wave];
            ASSERT_EQ(std::tuple(G.Level, G.Wave, G.WaveSetup, G.EnemyCount),
                      std::tuple(level, wave, False, n));
            for (int i = 1; i <= n; ++i) {
                SCOPED_TRACE("enemy " + std::to_string(i));
                EXPECT_EQ(std::tuple(G.EnemyAlive[i], G.EnemyBlast[i]), std::tuple(-1, 0));
                G.EnemyAlive[i] = 0;  // shot down, its explosion over
                const Long evenly = Nearest(H * i / (n + 1));
                const Long x = G.EnemyX[i], y = G.EnemyY[i], speed = G.EnemySpeed[i];
                const bool drifts = wave <= 6 || wave == 10;
                EXPECT_TRUE(!drifts || (G.EnemyDrift[i] >= -2 && G.EnemyDrift[i] <= 1));
                if (wave == 7 || (wave == 10 && i > 4)) {   // rising at a random column
                    EXPECT_TRUE(x >= 98 && x <= 687) << x;  // W / 8 .. 7 W / 8
                    EXPECT_EQ(y, kFromBelow[i]);
                }
                if (wave <= 6) {
                    EXPECT_EQ(std::tuple(x, y, speed),
                              std::tuple(kFromTheRight[i], evenly, level + wave));
                } else if (wave == 7) {
                    EXPECT_EQ(speed, level + 7);
                } else if (wave == 8) {  // a fifth of the width apart
                    EXPECT_EQ(std::tuple(x, y, speed), std::tuple(Nearest(-157.0 * i), evenly, 4));
                } else if (wave == 9) {
                    EXPECT_EQ(std::tuple(x, y, speed), std::tuple(785, evenly, level));
                } else if (wave == 10) {
                    EXPECT_EQ(speed, 4);
                    if (i > 4) continue;
                    // A column 0, 1 or 2 times i tenths right of 0.9 W, a row in tenths of H.
                    bool column = false, row = false;
                    for (int a = 0; a <= 2; ++a) column |= x == Nearest(i * a / 10.0 * W + 0.9 * W);
                    for (int b = 0; b <= 9; ++b) row |= y == Nearest(b / 10.0 * H);
                    EXPECT_TRUE(column && row) << x << ", " << y;
                } else {  // at four fifths of the width
                    EXPECT_EQ(std::tuple(x, y, G.EnemyHits[i], G.EnemyDirection[i]),
                              std::tuple(628, evenly, 1, 1));
                }
            }
            platform.Advance(2001);  // the pause runs out
            RunWave();               // advances
            ASSERT_EQ(G.WaveSetup, True);
        }
    }
    EXPECT_EQ(std::tuple(G.Level, G.Wave), std::tuple(4, 1));
    G.Wave = 11;
    G.WaveSetup = True;
    RunWave();
    EXPECT_EQ(G.EnemyCount, 3) << "never more than three in the final wave";
}

// One step of a lone enemy by its wave's rule, at the wraps: flying left
// (waves 1-3, 9) it comes back at the right edge a little faster, up to 15;
// drifting (4-6, 10) it also wraps between the strip and the bottom edge;
// flying up (7) it comes back from below, faster; flying right (8) it
// comes back from beyond the left edge at the same speed.
TEST_F(Waves, EachRuleMovesAndWrapsAtTheEdges) {
    struct Case {
        int wave;
        Long x, y, speed, drift;
        Long toX, toY, toSpeed;
    };
    const Case cases[] = {
        {1, -52, 300, 1, 0, -53, 300, 1},  // 53 wide
        {1, -53, 300, 1, 0, 785, 300, 2},   {9, -10, 300, 14, 0, 785, 300, 15},
        {9, -10, 300, 15, 0, 785, 300, 15}, {4, 400, 583, 2, -2, 398, 585, 2},  // 32 high
        {4, 400, 585, 2, -2, 398, 25, 2},   {4, 400, 25, 2, 1, 398, 585, 2},
        {4, 400, 26, 2, 1, 398, 25, 2},     {10, -54, 0, 4, 0, 785, 561, 5},  // 55 x 56
        {10, 400, 617, 4, 0, 396, 25, 4},   {7, 300, 30, 5, 0, 300, 25, 5},
        {7, 300, 25, 5, 0, 300, 617, 6},    {7, 300, 20, 15, 0, 300, 617, 15},
        {8, 781, 300, 4, 0, 785, 300, 4},   {8, 782, 300, 4, 0, -51, 300, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("wave " + std::to_string(c.wave) + " from " + std::to_string(c.x) + ", " +
                     std::to_string(c.y));
        Lone(c.wave, c.x, c.y, c.speed);
        G.EnemyDrift[1] = c.drift;
        RunWave();
        EXPECT_EQ(G.EnemyX[1], c.toX);
        EXPECT_EQ(G.EnemyY[1], c.toY);
        EXPECT_EQ(G.EnemySpeed[1], c.toSpeed);
    }
}

TEST_F(Waves, TheFinalWaveBouncesBetweenATenthAndNineTenthsOfTheHeight) {
    Lone(11, 628, 555, 0);  // 0.9 H = 555.3: any step of 1..9 goes beyond
    G.EnemyDirection[1] = 1;
    RunWave();
    EXPECT_EQ(std::tuple(G.EnemyX[1], G.EnemyY[1], G.EnemyDirection[1]), std::tuple(628, 553, -1));
    EXPECT_TRUE(G.EnemySpeed[1] >= 1 && G.EnemySpeed[1] <= 9) << G.EnemySpeed[1];
    G.EnemyY[1] = 300;
    RunWave();
    EXPECT_TRUE(G.EnemySpeed[1] >= -9 && G.EnemySpeed[1] <= -1) << "upwards now";
    EXPECT_EQ(G.EnemyY[1], 300 + G.EnemySpeed[1]);
    G.EnemyY[1] = 62;  // 0.1 H = 61.7
    RunWave();
    EXPECT_EQ(std::tuple(G.EnemyY[1], G.EnemyDirection[1]), std::tuple(64, 1));
}

// Shift calls the carrier only in the pause after a cleared wave, which
// lasts 2000 ms from its last explosion and shows the carrier prompt.
TEST_F(Waves, AClearedWavePausesTwoSecondsAfterItsLastExplosionShowingTheCarrierPrompt) {
    Label& prompt = *Display().Label3;
    platform.SetKeyHeld(VK_SHIFT);
    RunWave();
    RunWave();
    EXPECT_EQ(G.CarrierCalled, False);  // a wave in play
    for (int i = 1; i <= 3; ++i) G.EnemyAlive[i] = 0;
    G.EnemyBlast[3] = 20;  // the last one still exploding
    platform.Advance(5000);
    RunWave();
    const Long lastBlast = G.WaveEndTick;
    EXPECT_EQ(lastBlast, static_cast<Long>(platform.GetTickCount()));
    EXPECT_EQ(std::tuple(prompt.Visible(), G.CarrierCalled), std::tuple(false, False));
    G.EnemyBlast[3] = 0;
    platform.Advance(1);
    RunWave();
    EXPECT_EQ(std::tuple(prompt.Visible(), G.CarrierCalled), std::tuple(false, True));
    platform.SetKeyHeld(VK_SHIFT, false);
    platform.SetTick(static_cast<std::uint32_t>(lastBlast) + 2000);
    RunWave();
    EXPECT_EQ(std::tuple(prompt.Visible(), G.Wave, G.WaveEndTick), std::tuple(true, 1, lastBlast));
    platform.Advance(1);
    RunWave();
    EXPECT_EQ(std::tuple(prompt.Visible(), G.Wave, G.WaveSetup, G.EnemyCount, G.WaveEndTick),
              std::tuple(false, 2, True, 4, lastBlast + 2001));
    RunWave();  // the next call lays it out
    EXPECT_EQ(std::tuple(G.EnemyAlive[4], G.EnemyX[4]), std::tuple(-1, 1020));
}

TEST_F(Waves, WhileTheCarrierIsOnScreenTheWaveStandsStill) {
    G.Wave = 7;  // flying up: the rows show whether the wave moved
    PlayFrames(1);
    const Long y = G.EnemyY[1];
    G.CarrierActive = True;
    PlayFrames(3);
    EXPECT_EQ(G.EnemyY[1], y);
    G.CarrierActive = False;
    PlayFrames(1);
    EXPECT_EQ(G.EnemyY[1], y - 8);
}

}  // namespace
}  // namespace vorlax
