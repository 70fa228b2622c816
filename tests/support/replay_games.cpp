#include "support/replay_games.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>

#include "core/game_files.h"
#include "core/game_state.h"
#include "game/startup.h"
#include "game/windows.h"
#include "platform/headless_platform.h"
#include "platform/recording_platform.h"

namespace vorlax::testing {
namespace {

constexpr std::uint32_t kStart = 100000;

class Pilot {
  public:
    Pilot(HeadlessPlatform& platform, int budget) : p_(platform), budget_(budget) {}

    void Frame() {
        p_.ReleaseAllKeys();
        if (G.CarrierActive == True) {
            // Under the bay first, then up into it.
            const double bayLeft = G.CarrierX + (kBayLeft + kBayRight - kShipWidth) / 2.0;
            const double below = G.CarrierY + kCarrierHeight + 10;
            if (std::abs(G.ShipX - bayLeft) > 4) {
                Steer(bayLeft + 23, std::max<double>(G.ShipY, below) + 16);
            } else {
                Steer(bayLeft + 23, G.CarrierY + (kBayTop + kBayBottom) / 2.0);
            }
            return;
        }
        ++frames_;
        double x = 0, y = 0, best = 1e9;
        for (int i = 1; i <= G.EnemyCount; ++i) {
            if (G.EnemyAlive[i] != -1 || G.EnemyX[i] > 785) continue;
            const double d = G.EnemyX[i] + (frames_ > budget_) * std::abs(G.EnemyY[i] - G.ShipY);
            if (d >= best) continue;
            best = d;
            x = G.EnemyX[i] + G.EnemyWidth[G.Wave] / 2.0;
            y = G.EnemyY[i] + G.EnemyHeight[G.Wave] / 2.0;
        }
        if (best == 1e9) {
            p_.SetKeyHeld(VK_SHIFT, G.Wave == 1);
            return;
        }
        if (frames_ > budget_) return Steer(x, y);
        Steer(30, y);
        p_.SetKeyHeld(VK_SPACE);
        p_.SetKeyHeld(VK_CONTROL, frames_ % 400 < 10);
    }

  private:
    void Steer(double x, double y) {
        if (x < G.ShipX + 20) p_.SetKeyHeld(VK_LEFT);
        if (x > G.ShipX + 26) p_.SetKeyHeld(VK_RIGHT);
        if (y < G.ShipY + 13) p_.SetKeyHeld(VK_UP);
        if (y > G.ShipY + 19) p_.SetKeyHeld(VK_DOWN);
    }

    HeadlessPlatform& p_;
    int budget_;
    int frames_ = 0;
};

// The game as its last frame left it (the title screen resets it).
void LastFrame(PlayedGame& game) {
    game.sums.push_back(StateSum());
    game.end = {static_cast<long>(game.sums.size()), G.Score, G.Level, G.Wave, G.CurrentShip - 1};
    game.docked = game.docked || (G.CarrierActive == True && G.Energy == kFullEnergy);
}

// The high-score table as the game holds it.
std::string Table() {
    std::string table;
    for (int r = 1; r <= kHighScoreRanks; ++r)
        table += std::to_string(G.HighScores[r]) + " " + G.HighNames[r] + "\n";
    return table;
}

}  // namespace

std::uint64_t StateSum() {
    std::uint64_t h = 14695981039346656037ull;
    auto mix = [&h](auto... values) {
        for (double v : {static_cast<double>(values)...}) {
            std::uint64_t bits;
            std::memcpy(&bits, &v, sizeof bits);
            h = (h ^ bits) * 1099511628211ull;
        }
    };
    // The windows the player saw open and close as they did.
    mix(HelpForm().form.Visible(), ScoreForm().form.Visible());
    mix(G.ShipX, G.ShipY, G.Energy, G.ShieldOn, G.Score, G.Level, G.Wave, G.CurrentShip,
        G.ShipsEarned, G.EnemyCount, G.NowTick, G.Paused, G.CarrierX, G.CarrierY);
    for (int i = 1; i <= kMaxEnemies; ++i)
        mix(G.EnemyX[i], G.EnemyY[i], G.EnemyAlive[i], G.EnemyHits[i]);
    for (int s = 1; s <= kShotSlots; ++s) mix(G.ShotActive[s] == True ? G.ShotX[s] : -1);
    for (int i = decltype(G.Stars)::lower; i <= decltype(G.Stars)::upper; ++i)
        mix(G.Stars[i].X, G.Stars[i].Y);
    return h;
}

PlayedGame RecordPilotedGame(const std::string& folder, const std::string& replayPath, int budget) {
    HeadlessPlatform headless;
    headless.SetProgramFolder(folder);
    headless.SetTick(kStart);
    std::FILE* file = std::fopen(replayPath.c_str(), "wb");
    PlayedGame game;
    {
        RecordingPlatform recording(headless, file);
        SetCurrentPlatform(&recording);
        G = GameState{};
        Pilot pilot(headless, budget);
        // After every frame, from the start of the next yield.
        headless.EveryYield([&, frames = 0, last = Long{0}]() mutable {
            if (G.LastFrameTick == last) return;
            last = G.LastFrameTick;
            LastFrame(game);
            pilot.Frame();
            // A pause, and the help window, opened and closed during play.
            if (++frames == 300 || frames == 600) {
                headless.QueueKeyDown(frames == 300 ? VK_P : VK_F1);
                const int then = frames == 300 ? VK_SPACE : VK_ESCAPE;
                headless.At(headless.GetTickCount() + 500,
                            [&, then] { headless.QueueKeyDown(then); });
            }
        });
        // The title screen's event loop looks for events every 10 ms.
        for (std::uint32_t t = 10; t < 700; t += 10) headless.At(kStart + t, [] {});
        headless.At(kStart + 700, [&] { headless.QueueKeyDown(VK_F2); });
        // Once the game is over: a name for the table, back to the title, and
        // the window closed.
        std::function<void()> afterGame = [&] {
            if (!ScoreForm().form.Visible())
                return headless.At(headless.GetTickCount() + 1000, afterGame);
            headless.QueueText("Ace");
            headless.QueueKeyDown(VK_RETURN);
            headless.QueueKeyDown(VK_ESCAPE);
            headless.At(headless.GetTickCount() + 2000,
                        [&] { headless.QueueClose(DisplayForm().form); });
        };
        headless.At(kStart + 1000, afterGame);
        RunGame();
        game.table = Table();
        SetCurrentPlatform(nullptr);
    }
    std::fclose(file);
    return game;
}

PlayedGame PlayBack(replay::Replay replay) {
    PlayedGame game;
    game.end = VerifyReplay(std::move(replay), [&] { game.sums.push_back(StateSum()); });
    game.table = Table();
    return game;
}

}  // namespace vorlax::testing
