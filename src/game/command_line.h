// The game's command line: how it is presented (fullscreen or windowed, the
// scale), recording and playing replays, plus --help and --version. Parsing is a plain function;
// main() acts on the result.
#pragma once

#include <string>
#include <vector>

#include "platform/scaling.h"

namespace vorlax {

struct CommandLine {
    enum class Action { Play, Help, Version, Error, Replay, VerifyReplay };
    Action action = Action::Play;
    Presentation presentation;
    std::string record;  // --record FILE: where the game's replay goes
    std::string replay;  // the replay to show or to verify
    std::string error;   // what is wrong, for Action::Error
};

// `args` are the arguments after the program's name. A later --fullscreen or
// --windowed overrides an earlier one; --help and --version win over
// everything but an error before them.
CommandLine ParseCommandLine(const std::vector<std::string>& args);

// The text of --help (also shown, on stderr, after an error).
std::string UsageText();
// The text of --version.
std::string VersionText();

}  // namespace vorlax
