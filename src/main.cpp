// VORLAX: reads the command line, starts the platform layer, then the game.
#include <cstdio>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "game/command_line.h"
#include "game/replays.h"
#include "game/startup.h"
#include "platform/platform.h"
#include "platform/recording_platform.h"
#include "platform/sdl_platform.h"
#include "scores/score_form.h"

namespace {

// A lost display ends the game without unwinding: the replay being recorded
// is closed too.
void LastWish() {
    vorlax::RecordingPlatform::FinishAny();
    vorlax::SaveHighScoresWithoutWindows();
}

}  // namespace

int main(int argc, char** argv) {
    using vorlax::CommandLine;
    const CommandLine line =
        vorlax::ParseCommandLine(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc));
    switch (line.action) {
        case CommandLine::Action::Help:
            std::fputs(vorlax::UsageText().c_str(), stdout);
            return 0;
        case CommandLine::Action::Version:
            std::fputs(vorlax::VersionText().c_str(), stdout);
            return 0;
        case CommandLine::Action::Error:
            std::fprintf(stderr, "vorlax: %s\n%s", line.error.c_str(), vorlax::UsageText().c_str());
            return 2;
        case CommandLine::Action::Play:
        case CommandLine::Action::Replay:
        case CommandLine::Action::VerifyReplay:
            break;
    }

    // A replay is read whole and checked before anything is shown.
    vorlax::replay::Replay replay;
    if (!line.replay.empty()) {
        try {
            replay = vorlax::LoadReplay(line.replay);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "vorlax: %s: %s\n", line.replay.c_str(), e.what());
            return 1;
        }
    }
    if (line.action == CommandLine::Action::VerifyReplay) {
        try {
            const auto result = vorlax::VerifyReplay(std::move(replay));
            std::printf("%s\n", vorlax::ResultLine(line.replay, result).c_str());
            return 0;
        } catch (const std::exception& e) {
            std::fprintf(stderr, "vorlax: %s: %s\n", line.replay.c_str(), e.what());
            return 1;
        }
    }

    std::unique_ptr<vorlax::SdlPlatform> platform;
    try {
        platform = std::make_unique<vorlax::SdlPlatform>(line.presentation);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vorlax: %s\n", e.what());
        return 1;
    }
    vorlax::SetCurrentPlatform(platform.get());
    vorlax::SdlPlatform::AtLostDisplay(LastWish);
    int status = 1;
    try {
        if (line.action == CommandLine::Action::Replay)
            status = vorlax::WatchReplay(*platform, std::move(replay));
        else if (!line.record.empty())
            status = vorlax::RecordGame(*platform, line.record);
        else
            status = vorlax::RunGame();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vorlax: %s\n", e.what());
    }
    vorlax::SetCurrentPlatform(nullptr);
    return status;
}
