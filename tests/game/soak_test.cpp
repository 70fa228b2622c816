// Whole games played automatically at virtual speed by a seeded scripted
// player who flies, fires, shields, calls the carrier and docks, pauses now
// and then, and after a budget of frames flies into the enemies to end the
// game; then names the score and goes back to the title. After every frame
// the game's invariants are checked.
//
// A normal run plays a few short games. VORLAX_SOAK_GAMES=N plays N games
// with budgets long enough to reach later levels (make soak);
// VORLAX_SOAK_SEED=S starts from another seed. A failure names the seed and
// the game: the same two settings replay it exactly.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <random>
#include <sstream>
#include <stdexcept>

#include "core/numbers.h"
#include "graphics/sprites.h"
#include "scores/score_form.h"
#include "support/game_fixture.h"

namespace vorlax {
namespace {

constexpr double W = 785, H = 617;

unsigned long Setting(const char* name, unsigned long fallback) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? std::strtoul(value, nullptr, 10) : fallback;
}

long ResidentKb() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

struct Broken : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Checks the game's invariants after every frame of one game.
class Invariants {
  public:
    void NewGame() { last_ = {}; }

    void AfterFrame() {
        Need(G.Energy >= 0 && G.Energy <= 500, "energy within 0..500");
        Need(G.Wave >= 1 && G.Wave <= 11, "wave within 1..11");
        Need(G.EnemyCount >= 1 && G.EnemyCount <= 10, "enemy count within 1..10");
        Need(G.FiringEnemy >= 0 && G.FiringEnemy <= 3, "firing enemy within 0..3");
        Need(G.NewEntryRank == 0, "no high-score row during play");
        // One beyond those earned only between an enemy shot's hit on the
        // last ship and the next frame's game-over test.
        Need(G.CurrentShip >= 1 && G.CurrentShip <= G.ShipsEarned + 1,
             "never more than one ship beyond those earned");
        Need(G.ShipX >= 0 && G.ShipX <= W - 47 && G.ShipY >= 25 && G.ShipY <= H - 32,
             "the ship inside the play field");
        Need(G.ShipStepX == G.ShipStepY && (G.ShipStepX == 1 || G.ShipStepX == 5), "ship steps");
        Need(G.Score >= last_.score, "the score never falls");
        Need(G.Level > last_.level || (G.Level == last_.level && G.Wave >= last_.wave),
             "level and wave never go back");
        for (int s = 1; s <= 5; ++s)
            if (G.ShotActive[s] == True) Need(G.ShotX[s] <= W, "a shot past the edge is retired");
        for (int e = 1; e <= 3; ++e)
            for (int k = 1; k <= 10; ++k)
                if (G.EnemyShotActive(e, k) == True)
                    Need(G.EnemyShotX(e, k) >= 0, "an enemy shot past the edge is retired");
        Enemies();
        last_ = {G.Score, G.Level, G.Wave, G.WaveSetup};
    }

  private:
    void Need(bool holds, const char* what) {
        if (holds) return;
        std::ostringstream out;
        out << what << " (level " << G.Level << ", wave " << G.Wave << ", energy " << G.Energy
            << ", ship " << G.CurrentShip << " of " << G.ShipsEarned << ", at " << G.ShipX << ","
            << G.ShipY << ", carrier " << G.CarrierActive << ")";
        throw Broken(out.str());
    }

    void Enemies() {
        // Just laid out: the formations start where their rules put them.
        const bool laidOut = last_.setup == True || last_.wave != G.Wave;
        if (G.WaveSetup == True || laidOut) return;
        const Long w = G.EnemyWidth[G.Wave], h = G.EnemyHeight[G.Wave];
        for (int i = 1; i <= G.EnemyCount; ++i) {
            Need(G.EnemyBlast[i] >= 0 && G.EnemyBlast[i] <= 20, "explosions last 20 frames");
            if (G.EnemyAlive[i] != -1) continue;
            const Long x = G.EnemyX[i], y = G.EnemyY[i];
            if (G.CarrierActive == True) {
                Need(x >= Nearest(1.1 * W), "enemies wait beyond the right edge");
                continue;
            }
            const bool drifts = (G.Wave >= 4 && G.Wave <= 6) || G.Wave == 10;
            if (G.Wave == 7) {
                Need(x >= Nearest(W / 8) && x <= Nearest(7 * W / 8) && y >= 25 && y <= 1.9 * H,
                     "flying up in its column");
            } else if (G.Wave == 8) {
                Need(x >= -1.2 * W && x <= 2 * W && y >= 0 && y <= H, "flying right");
            } else if (G.Wave == 11) {
                Need(x == Nearest(0.8 * W) && y > 0.1 * H && y < 0.9 * H && G.EnemyHits[i] >= 1 &&
                         G.EnemyHits[i] <= 5,
                     "bouncing in its column");
            } else {
                Need(x >= -w && x <= 2 * W && y >= (drifts ? 25 : 0) && y <= (drifts ? H - h : H),
                     drifts ? "flying left, drifting" : "flying left");
            }
        }
    }

    struct Last {
        Long score = 0, level = 1, wave = 1;
        Flag setup = True;
    } last_;
};

// Chooses the keys held in the next frame.
class Player {
  public:
    Player(HeadlessPlatform& platform, std::uint32_t seed) : platform_(platform), random_(seed) {}

    void NewGame(int budget) {
        frames_ = 0;
        budget_ = budget;
        homeX_ = Between(0, 250);
        docks_ = Chance(0.7);
    }

    void Decide() {
        // Reckless flying ends any game within a few thousand frames.
        if (++frames_ > budget_ + 100000) throw Broken("the game never ends");
        platform_.ReleaseAllKeys();
        if (Chance(0.0004)) Hold(VK_P);
        const bool reckless = frames_ > budget_;
        if (G.CarrierActive == True) {
            if (reckless) {  // into the hull
                Towards(G.ShipX, G.CarrierX + 300, VK_LEFT, VK_RIGHT);
                Towards(G.ShipY, G.CarrierY + 100, VK_UP, VK_DOWN);
            } else {
                Carrier();
            }
            return;
        }
        if (!reckless && Danger() && G.Energy > 30) Hold(VK_CONTROL);
        const int target = Target(reckless);
        if (target == 0) {
            if (!reckless && Chance(0.0002)) Hold(VK_SHIFT);  // in the pause after a wave
            Towards(G.ShipX, homeX_, VK_LEFT, VK_RIGHT);
            return;
        }
        const double w = G.EnemyWidth[G.Wave], h = G.EnemyHeight[G.Wave];
        if (reckless) {
            // Straight at it, no shield.
            Towards(G.ShipX + 23, G.EnemyX[target] + w / 2, VK_LEFT, VK_RIGHT);
            Towards(G.ShipY + 16, G.EnemyY[target] + h / 2, VK_UP, VK_DOWN);
            return;
        }
        if (G.Wave == 7) {
            // Beside its column, firing as it rises through the shots' row:
            // a shot meets the enemy's column two frames after it leaves.
            Towards(G.ShipX, G.EnemyX[target] - 57, VK_LEFT, VK_RIGHT);
            Towards(G.ShipY, H / 2, VK_UP, VK_DOWN);
            const double rowThen = G.EnemyY[target] - 2.0 * G.EnemySpeed[target];
            if (G.ShipY + 11 > rowThen && G.ShipY + 11 < rowThen + h) Hold(VK_SPACE);
        } else {
            // Shots leave 11 to 16 rows below the ship's top: line them up
            // with the enemy's middle, and fire.
            const double offset = G.EnemyY[target] + h / 2 - (G.ShipY + 13);
            Towards(0, offset, VK_UP, VK_DOWN);
            Towards(G.ShipX, homeX_, VK_LEFT, VK_RIGHT);
            if (std::abs(offset) < h / 2) Hold(VK_SPACE);
        }
    }

  private:
    bool Chance(double p) { return std::uniform_real_distribution<double>(0, 1)(random_) < p; }
    int Between(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random_); }
    void Hold(int key) { platform_.SetKeyHeld(key); }
    void Towards(double from, double to, int less, int more) {
        if (to < from - 3) Hold(less);
        if (to > from + 3) Hold(more);
    }

    // The live enemy to go for: the nearest one ahead of the ship, or when
    // reckless the nearest of all.
    int Target(bool reckless) {
        int best = 0;
        double bestDistance = 1e9;
        for (int i = 1; i <= G.EnemyCount; ++i) {
            if (G.EnemyAlive[i] != -1 || G.EnemyX[i] > W) continue;
            // Rising enemies are met from beside their column, the others from behind.
            if (G.Wave != 7 && (G.EnemyY[i] > H || (!reckless && G.EnemyX[i] < G.ShipX + 47)))
                continue;
            const double d = std::abs(G.EnemyX[i] - G.ShipX) + std::abs(G.EnemyY[i] - G.ShipY);
            if (d < bestDistance) {
                bestDistance = d;
                best = i;
            }
        }
        return best;
    }

    // An enemy's box or an enemy shot that may reach the ship next frame.
    bool Danger() const {
        const Long w = G.EnemyWidth[G.Wave], h = G.EnemyHeight[G.Wave];
        const bool upright = G.Wave == 7 || G.Wave == 11;
        for (int i = 1; i <= G.EnemyCount; ++i) {
            if (G.EnemyAlive[i] != -1) continue;
            const Long speed = std::abs(G.EnemySpeed[i]);
            const Long mx = upright ? 6 : 11 + speed, my = 11 + (upright ? speed : 2);
            if (G.EnemyX[i] < G.ShipX + 47 + mx && G.EnemyX[i] + w > G.ShipX - mx &&
                G.EnemyY[i] < G.ShipY + 32 + my && G.EnemyY[i] + h > G.ShipY - my)
                return true;
        }
        for (int e = 1; e <= 3; ++e)
            for (int k = 1; k <= 10; ++k)
                if (G.EnemyShotActive(e, k) == True && G.EnemyShotX(e, k) > G.ShipX &&
                    G.EnemyShotX(e, k) < G.ShipX + 80 && G.EnemyShotY(e, k) > G.ShipY - 8 &&
                    G.EnemyShotY(e, k) < G.ShipY + 36)
                    return true;
        return false;
    }

    // Low on energy: under the carrier, below the bay, then up into it.
    // Otherwise, or once filled up, out of its way: down out of the bay, and
    // above or below the hull.
    void Carrier() {
        const double bayX = G.CarrierX + 611, top = G.CarrierY,
                     bottom = G.CarrierY + kCarrierHeight;
        const bool underBay = std::abs(G.ShipX - bayX) <= 8;
        if (docks_ && G.Energy < 450 && G.CarrierX + kBayLeft > 60) {
            Towards(G.ShipX, bayX, VK_LEFT, VK_RIGHT);
            if (!underBay && G.ShipY < bottom + 4) Hold(VK_DOWN);
            if (underBay && G.ShipY > top + 166) Hold(VK_UP);
            return;
        }
        if (underBay && G.ShipY > top + 140 && G.ShipY < bottom + 4) {
            Towards(G.ShipX, bayX, VK_LEFT, VK_RIGHT);
            Hold(VK_DOWN);
        } else if (G.ShipY + 36 > top && G.ShipY < bottom + 4) {
            Hold(G.ShipY + 36 - top < bottom + 4 - G.ShipY ? VK_UP : VK_DOWN);
        }
    }

    HeadlessPlatform& platform_;
    std::mt19937 random_;
    int frames_ = 0, budget_ = 0, homeX_ = 0;
    bool docks_ = true;
};

class Soak : public testing::GameTest {};

TEST_F(Soak, ScriptedGamesKeepEveryInvariant) {
    StartUp();
    ASSERT_TRUE(platform.Messages().empty());
    const bool longRun = Setting("VORLAX_SOAK_GAMES", 0) > 0;
    const unsigned long games = longRun ? Setting("VORLAX_SOAK_GAMES", 0) : 6;
    const std::uint32_t seed = static_cast<std::uint32_t>(Setting("VORLAX_SOAK_SEED", 1207));
    platform.SetYieldLimit(~std::uint64_t{0});
    const int surfaces = LiveSurfaceCount();
    const long residentAtStart = ResidentKb();
    long residentAfterFirst = 0;

    Player player(platform, seed);
    Invariants invariants;
    std::mt19937 budgets(seed + 1);
    std::map<Long, int> levelsReached;
    std::uint64_t frames = 0, losses = 0, docked = 0, visits = 0;
    Long last = G.LastFrameTick;
    bool carrierSeen = false;
    struct Unhook {
        HeadlessPlatform& platform;
        ~Unhook() { platform.EveryYield(nullptr); }
    } unhook{platform};
    platform.EveryYield([&] {
        if (G.LastFrameTick == last) return;
        last = G.LastFrameTick;
        ++frames;
        invariants.AfterFrame();
        const bool carrier = G.CarrierActive == True;
        visits += carrier && !carrierSeen;
        carrierSeen = carrier;
        docked += carrier && G.CarrierX + kBayLeft < G.ShipX &&
                  G.ShipX + kShipWidth < G.CarrierX + kBayRight && G.CarrierY + kBayTop < G.ShipY &&
                  G.ShipY + kShipHeight < G.CarrierY + kBayBottom;
        player.Decide();
    });

    for (unsigned long game = 1; game <= games; ++game) {
        const std::string where =
            (longRun ? "VORLAX_SOAK_GAMES=" + std::to_string(games) + " " : std::string()) +
            "VORLAX_SOAK_SEED=" + std::to_string(seed) + ", game " + std::to_string(game);
        SCOPED_TRACE(where);
        const int budget = longRun ? std::uniform_int_distribution<int>(500, 30000)(budgets)
                                   : std::uniform_int_distribution<int>(100, 800)(budgets);
        player.NewGame(budget);
        invariants.NewGame();
        try {
            platform.QueueKeyDown(VK_F2);
            platform.DoEvents();
            // The loop comes back for a pause (any key but P resumes) or at the end.
            while (!ScoreForm().form.Visible()) {
                ASSERT_EQ(G.Paused, True) << "the game stopped for no reason";
                platform.ReleaseAllKeys();
                platform.QueueKeyDown(VK_SPACE);
                platform.DoEvents();
            }
        } catch (const Broken& broken) {
            FAIL() << where << ": " << broken.what();
        }
        // The last ship lost, exactly one beyond those earned.
        EXPECT_EQ(G.CurrentShip, G.ShipsEarned + 1);
        levelsReached[G.Level] += 1;
        losses += static_cast<std::uint64_t>(G.ShipsEarned);
        const Long rank = G.NewEntryRank;
        const Long score = G.Score;
        const std::string name = "Soak " + std::to_string(game);
        if (rank >= 1) {
            platform.QueueText(name);
            platform.QueueKeyDown(VK_RETURN);
        }
        platform.QueueKeyDown(VK_ESCAPE);
        platform.DoEvents();
        ASSERT_FALSE(ScoreForm().form.Visible());
        ASSERT_TRUE(DisplayForm().Label4->Visible()) << "the title screen is back";
        if (rank >= 1) {
            const std::string saved = folder.Read("Hiscore.txt");
            EXPECT_NE(saved.find(std::to_string(score) + ",\"" + name + "\"\r\n"),
                      std::string::npos);
        }
        ASSERT_EQ(LiveSurfaceCount(), surfaces);
        if (game == 1) residentAfterFirst = ResidentKb();
        // A long run says how far it has got now and then.
        if (longRun && game % 100 == 0)
            std::cerr << "soak: " << game << " of " << games << " games, " << frames
                      << " frames, resident memory " << ResidentKb() << " kB\n";
    }

    std::ostringstream summary;
    summary << "soak: seed " << seed << ", " << games << " games, " << frames << " frames, "
            << losses << " ships lost, " << visits << " carrier visits, " << docked
            << " frames docked; games by level reached:";
    for (auto [level, count] : levelsReached) summary << " " << level << ":" << count;
    summary << "; resident memory " << residentAtStart << " kB at the start, " << residentAfterFirst
            << " kB after the first game, " << ResidentKb() << " kB at the end";
    std::cout << summary.str() << "\n";
    RecordProperty("summary", summary.str());
}

}  // namespace
}  // namespace vorlax
