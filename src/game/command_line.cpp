#include "game/command_line.h"

#include <charconv>
#include <optional>

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

// The action of a replay option (--record, --replay, --verify-replay, each
// also as --option=FILE).
std::optional<CommandLine::Action> ReplayOption(const std::string& arg) {
    const std::string name = arg.substr(0, arg.find('='));
    if (name == "--record") return CommandLine::Action::Play;
    if (name == "--replay") return CommandLine::Action::Replay;
    if (name == "--verify-replay") return CommandLine::Action::VerifyReplay;
    return std::nullopt;
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
        } else if (const auto kind = ReplayOption(arg)) {
            std::string value;
            if (arg.find('=') == std::string::npos) {
                if (i + 1 >= args.size()) return Failed(arg + " needs a file");
                value = args[++i];
            } else {
                value = arg.substr(arg.find('=') + 1);
            }
            if (value.empty()) return Failed(arg + " needs a file");
            if (!result.record.empty() || !result.replay.empty())
                return Failed("one of --record, --replay and --verify-replay at a time");
            if (*kind == CommandLine::Action::Play)
                result.record = value;
            else
                result.replay = value;
            result.action = *kind;
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
           "  --record FILE play as usual and write a replay of the game to FILE\n"
           "  --replay FILE show the game recorded in FILE as it was played (Esc ends it)\n"
           "  --verify-replay FILE\n"
           "                play FILE without a window, as fast as it goes, and print its\n"
           "                frames, score, level, wave and ships lost\n"
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
