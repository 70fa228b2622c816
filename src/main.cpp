// VORLAX: reads the command line, starts the platform layer, then the game.
#include <cstdio>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "game/command_line.h"
#include "game/startup.h"
#include "platform/platform.h"
#include "platform/sdl_platform.h"
#include "scores/score_form.h"

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
            break;
    }

    std::unique_ptr<vorlax::SdlPlatform> platform;
    try {
        platform = std::make_unique<vorlax::SdlPlatform>(line.presentation);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vorlax: %s\n", e.what());
        return 1;
    }
    vorlax::SetCurrentPlatform(platform.get());
    vorlax::SdlPlatform::AtLostDisplay(vorlax::SaveHighScoresWithoutWindows);
    int status = 1;
    try {
        status = vorlax::RunGame();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vorlax: %s\n", e.what());
    }
    vorlax::SetCurrentPlatform(nullptr);
    return status;
}
