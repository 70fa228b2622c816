#include "game/command_line.h"

#include <charconv>

#ifndef VORLAX_VERSION
#define VORLAX_VERSION "unknown"
#endif

namespace vorlax {
namespace {

// A whole number from 1 to kMaxScale, nothing else.
bool ParseScale(const std::string& text, int& scale) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [at, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || at != end || value < 1 || value > kMaxScale) return false;
    scale = value;
    return true;
}

CommandLine Failed(std::string why) {
    CommandLine result;
    result.action = CommandLine::Action::Error;
    result.error = std::move(why);
    return result;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
    CommandLine result;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            result.action = CommandLine::Action::Help;
            return result;
        }
        if (arg == "--version") {
            result.action = CommandLine::Action::Version;
            return result;
        }
        if (arg == "--fullscreen") {
            result.presentation.fullscreen = true;
        } else if (arg == "--windowed") {
            result.presentation.fullscreen = false;
        } else if (arg == "--fill") {
            result.presentation.anyFactor = true;
        } else if (arg == "--scale" || arg.starts_with("--scale=")) {
            std::string value;
            if (arg == "--scale") {
                if (i + 1 >= args.size()) return Failed("--scale needs a number");
                value = args[++i];
            } else {
                value = arg.substr(8);
            }
            if (!ParseScale(value, result.presentation.scale))
                return Failed("--scale takes a whole number from 1 to " +
                              std::to_string(kMaxScale) + ", not \"" + value + "\"");
        } else if (arg.starts_with("-")) {
            return Failed("unknown option \"" + arg + "\"");
        } else {
            return Failed("unexpected argument \"" + arg + "\"");
        }
    }
    return result;
}

std::string UsageText() {
    return "Usage: vorlax [OPTION]...\n"
           "VORLAX, an arcade space shooter played from the keyboard or a gamepad.\n"
           "\n"
           "  --fullscreen  start fullscreen (F11 or Alt+Enter switch at any time)\n"
           "  --windowed    start in a window (the default)\n"
           "  --scale N     show each pixel as an N x N block, N from 1 to " +
           std::to_string(kMaxScale) +
           "; by default\n"
           "                the largest whole scale whose window fits the desktop\n"
           "  --fill        let a resized or fullscreen picture grow by any factor that\n"
           "                fits, not only by whole ones\n"
           "  --help        show this help and exit\n"
           "  --version     show the version and exit\n"
           "\n"
           "Keys: F2 new game, arrows fly, space fires, Ctrl shields, Shift calls the\n"
           "carrier after a wave, P pauses, F1 help, F3 high scores, Esc quits.\n"
           "See vorlax(6) for the gamepad and the files the game keeps.\n";
}

std::string VersionText() {
    return std::string("vorlax ") + VORLAX_VERSION + "\n";
}

}  // namespace vorlax
