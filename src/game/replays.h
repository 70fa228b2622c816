// Recording a game, watching it again and checking its score: the command
// line's --record, --replay and --verify-replay. The game's rules know
// nothing of this; they see only the platform each run puts in place.
#pragma once

#include <functional>
#include <string>

#include "platform/platform.h"
#include "platform/replay_file.h"

namespace vorlax {

// The replay at `path`; throws replay::ReplayError for a file that is not a
// complete replay of this version, and std::runtime_error for one that
// cannot be read.
replay::Replay LoadReplay(const std::string& path);

// Plays the game on `backend` as RunGame does, writing its replay to `path`.
// Returns the exit status (1, said on stderr, when the file cannot be made).
int RecordGame(Platform& backend, const std::string& path);

// Shows `replay` on `backend` at its recorded pace; Esc ends it. Status 0.
int WatchReplay(Platform& backend, replay::Replay replay);

// How a replay played on the headless platform ended.
struct ReplayResult {
    long frames = 0;
    long score = 0, level = 0, wave = 0, shipsLost = 0;
};
// `afterFrame`, if any, runs after every frame (a test reads the state there).
ReplayResult VerifyReplay(replay::Replay replay, const std::function<void()>& afterFrame = {});
// "FILE: N frames, score S, level L, wave W, ships lost K"
std::string ResultLine(const std::string& path, const ReplayResult& result);

}  // namespace vorlax
