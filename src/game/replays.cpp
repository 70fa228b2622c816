#include "game/replays.h"

#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "core/game_state.h"
#include "game/startup.h"
#include "platform/data_folders.h"
#include "platform/headless_platform.h"
#include "platform/playback_platform.h"
#include "platform/recording_platform.h"

namespace vorlax {
namespace {

namespace fs = std::filesystem;

// A folder of its own for the replayed game's table, gone afterwards: a
// replay never writes the player's Hiscore.txt.
class ScratchFolder {
  public:
    ScratchFolder() {
        std::string pattern = (fs::temp_directory_path() / "vorlax-replay-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("cannot make a folder for the replay's high scores: " +
                                     std::string(std::strerror(errno)));
        path_ = pattern;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::string& Path() const { return path_; }

  private:
    std::string path_;
};

// The game's folder as the SDL backend finds it, without starting SDL.
std::string GameFolder() {
    std::error_code error;
    const fs::path exe = fs::read_symlink("/proc/self/exe", error);
    const std::string exeFolder = error ? "." : exe.parent_path().string();
    return FindGameFolders(exeFolder, InstalledDataFolders(exeFolder),
                           [](const std::string& f) { return fs::exists(f + "/Ship.bmp"); })
        .program;
}

// Runs the game on `platform`, which stays current only meanwhile.
int RunOn(Platform& platform, Platform& backend) {
    SetCurrentPlatform(&platform);
    int status = 1;
    try {
        status = RunGame();
    } catch (...) {
        SetCurrentPlatform(&backend);
        throw;
    }
    SetCurrentPlatform(&backend);
    return status;
}

}  // namespace

replay::Replay LoadReplay(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot open " + path + ": " + std::strerror(errno));
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad()) throw std::runtime_error("cannot read " + path);
    return replay::Parse(bytes.str());
}

int RecordGame(Platform& backend, const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        std::fprintf(stderr, "vorlax: cannot write the replay %s: %s\n", path.c_str(),
                     std::strerror(errno));
        return 1;
    }
    int status = 1;
    {
        RecordingPlatform recording(backend, file);
        try {
            status = RunOn(recording, backend);
        } catch (...) {
            recording.Finish();
            std::fclose(file);
            throw;
        }
    }
    std::fclose(file);
    return status;
}

int WatchReplay(Platform& backend, replay::Replay replay) {
    ScratchFolder scores;
    PlaybackPlatform playback(backend, std::move(replay), scores.Path(), true);
    RunOn(playback, backend);
    return 0;
}

ReplayResult VerifyReplay(replay::Replay replay, const std::function<void()>& afterFrame) {
    ScratchFolder scores;
    HeadlessPlatform headless;
    headless.SetProgramFolder(GameFolder());
    headless.SetYieldLimit(~std::uint64_t{0});
    PlaybackPlatform playback(headless, std::move(replay), scores.Path(), false);
    // From the state at program start, as the recorded game began.
    G = GameState{};
    ReplayResult result;
    Long lastFrame = 0;
    playback.EveryYield([&] {
        if (G.LastFrameTick == lastFrame) return;
        lastFrame = G.LastFrameTick;
        // As the last frame left the game: back on the title it is reset.
        ++result.frames;
        result.score = G.Score;
        result.level = G.Level;
        result.wave = G.Wave;
        result.shipsLost = G.CurrentShip - 1;
        if (afterFrame) afterFrame();
    });
    RunOn(playback, headless);
    return result;
}

std::string ResultLine(const std::string& path, const ReplayResult& r) {
    return path + ": " + std::to_string(r.frames) + " frames, score " + std::to_string(r.score) +
           ", level " + std::to_string(r.level) + ", wave " + std::to_string(r.wave) +
           ", ships lost " + std::to_string(r.shipsLost);
}

}  // namespace vorlax
