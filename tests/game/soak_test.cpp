// Whole games played at virtual speed by a seeded scripted player who holds
// keys at random (flying, firing, shielding, calling the carrier, pausing)
// and, after a budget of frames, flies into the enemies or the carrier's hull
// until the game ends; then names the score and goes back to the title. The
// game's invariants are checked after every frame.
//
// A normal run plays six short games. VORLAX_SOAK_GAMES=N plays N longer
// ones (make soak); VORLAX_SOAK_SEED=S starts from another seed. A failure
// names both settings, which replay it exactly.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <random>
#include <stdexcept>

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

// The first invariant the state breaks after a frame, or nullptr.
const char* Broken(Long lastScore) {
    if (G.Energy < 0 || G.Energy > 500) return "energy within 0..500";
    if (G.Wave < 1 || G.Wave > 11 || G.EnemyCount < 1 || G.EnemyCount > 10) return "wave range";
    // One beyond those earned only between an enemy shot's hit on the last
    // ship and the next frame's game-over test.
    if (G.CurrentShip < 1 || G.CurrentShip > G.ShipsEarned + 1) return "ships within range";
    if (G.ShipX < 0 || G.ShipX > W - 47 || G.ShipY < 25 || G.ShipY > H - 32)
        return "the ship inside the play field";
    if (G.Score < lastScore) return "the score never falls";
    for (int s = 1; s <= 5; ++s)
        if (G.ShotActive[s] == True && G.ShotX[s] > W) return "shots past the edge retired";
    return nullptr;
}

// Chooses the keys held in the next frame.
class Player {
  public:
    Player(HeadlessPlatform& platform, std::uint32_t seed) : platform_(platform), random_(seed) {}

    void NewGame(int budget) {
        frames_ = 0;
        budget_ = budget;
    }

    void Decide() {
        if (++frames_ > budget_ + 100000) throw std::runtime_error("the game never ends");
        if (frames_ <= budget_) {
            // A new hand of keys now and then; P only rarely.
            if (frames_ % 20 == 1) {
                platform_.ReleaseAllKeys();
                for (int key : {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, VK_SPACE, VK_CONTROL, VK_SHIFT})
                    platform_.SetKeyHeld(key,
                                         Chance(key >= VK_LEFT || key == VK_SPACE ? 0.4 : 0.1));
            }
            platform_.SetKeyHeld(VK_P, Chance(0.0005));
            return;
        }
        // Reckless: straight at the nearest enemy in view, or into the hull.
        platform_.ReleaseAllKeys();
        double x = G.CarrierX + 300, y = G.CarrierY + 100, best = 1e9;
        if (G.CarrierActive == False) {
            const double w = G.EnemyWidth[G.Wave], h = G.EnemyHeight[G.Wave];
            for (int i = 1; i <= G.EnemyCount; ++i) {
                if (G.EnemyAlive[i] != -1 || G.EnemyX[i] > W || G.EnemyY[i] > H) continue;
                const double d = std::abs(G.EnemyX[i] - G.ShipX) + std::abs(G.EnemyY[i] - G.ShipY);
                if (d >= best) continue;
                best = d;
                x = G.EnemyX[i] + w / 2;
                y = G.EnemyY[i] + h / 2;
            }
            if (best == 1e9) return;
        }
        if (x < G.ShipX + 20) platform_.SetKeyHeld(VK_LEFT);
        if (x > G.ShipX + 26) platform_.SetKeyHeld(VK_RIGHT);
        if (y < G.ShipY + 13) platform_.SetKeyHeld(VK_UP);
        if (y > G.ShipY + 19) platform_.SetKeyHeld(VK_DOWN);
    }

  private:
    bool Chance(double p) { return std::uniform_real_distribution<double>(0, 1)(random_) < p; }

    HeadlessPlatform& platform_;
    std::mt19937 random_;
    int frames_ = 0, budget_ = 0;
};

class Soak : public testing::GameTest {};

TEST_F(Soak, ScriptedGamesKeepEveryInvariant) {
    Main();
    ASSERT_TRUE(platform.Messages().empty());
    const bool longRun = Setting("VORLAX_SOAK_GAMES", 0) > 0;
    const unsigned long games = longRun ? Setting("VORLAX_SOAK_GAMES", 0) : 6;
    const auto seed = static_cast<std::uint32_t>(Setting("VORLAX_SOAK_SEED", 1207));
    platform.SetYieldLimit(~std::uint64_t{0});
    const int surfaces = LiveSurfaceCount();
    const long residentAtStart = ResidentKb();

    Player player(platform, seed);
    std::mt19937 budgets(seed + 1);
    std::uint64_t frames = 0;
    Long lastFrame = G.LastFrameTick, lastScore = 0;
    platform.EveryYield([&] {
        if (G.LastFrameTick == lastFrame) return;
        lastFrame = G.LastFrameTick;
        ++frames;
        if (const char* broken = Broken(lastScore)) throw std::runtime_error(broken);
        lastScore = G.Score;
        player.Decide();
    });

    for (unsigned long game = 1; game <= games; ++game) {
        const std::string where = "VORLAX_SOAK_GAMES=" + std::to_string(longRun ? games : 0) +
                                  " VORLAX_SOAK_SEED=" + std::to_string(seed) + ", game " +
                                  std::to_string(game);
        SCOPED_TRACE(where);
        player.NewGame(std::uniform_int_distribution<int>(100, longRun ? 30000 : 800)(budgets));
        lastScore = 0;
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
        } catch (const std::runtime_error& broken) {
            platform.EveryYield(nullptr);
            FAIL() << where << ": " << broken.what() << " (level " << G.Level << ", wave " << G.Wave
                   << ")";
        }
        EXPECT_EQ(G.CurrentShip, G.ShipsEarned + 1);
        const Long rank = G.NewEntryRank, score = G.Score;
        const std::string name = "Soak " + std::to_string(game);
        if (rank >= 1) {
            platform.QueueText(name);
            platform.QueueKeyDown(VK_RETURN);
        }
        platform.QueueKeyDown(VK_ESCAPE);
        platform.DoEvents();
        ASSERT_TRUE(DisplayForm().Label4->Visible()) << "the title screen is back";
        const std::string saved = folder.Read("Hiscore.txt");
        EXPECT_TRUE(rank < 1 ||
                    saved.find(std::to_string(score) + ",\"" + name + "\"") != std::string::npos);
        ASSERT_EQ(LiveSurfaceCount(), surfaces);
        if (longRun && game % 100 == 0)
            std::cerr << "soak: " << game << " of " << games << " games, " << frames
                      << " frames, resident memory " << ResidentKb() << " kB\n";
    }
    platform.EveryYield(nullptr);

    std::cout << "soak: seed " << seed << ", " << games << " games, " << frames
              << " frames; resident memory " << residentAtStart << " kB at the start, "
              << ResidentKb() << " kB at the end\n";
}

}  // namespace
}  // namespace vorlax
