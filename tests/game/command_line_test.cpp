// The command line: presentation options, help and version, and what counts
// as a mistake.
#include "game/command_line.h"

#include <gtest/gtest.h>

#include <tuple>

namespace vorlax {
namespace {

using Action = CommandLine::Action;

// Nothing means play windowed at the desktop's scale; of fullscreen and
// windowed the last wins.
TEST(ParseCommandLine, PresentationOptions) {
    auto parsed = [](std::vector<std::string> args) {
        const CommandLine c = ParseCommandLine(args);
        return std::tuple(c.action, c.presentation.fullscreen, c.presentation.scale,
                          c.presentation.anyFactor);
    };
    EXPECT_EQ(parsed({}), std::tuple(Action::Play, false, 0, false));
    EXPECT_EQ(parsed({"--fullscreen", "--scale", "3", "--fill"}),
              std::tuple(Action::Play, true, 3, true));
    EXPECT_EQ(parsed({"--fullscreen", "--windowed", "--scale=1"}),
              std::tuple(Action::Play, false, 1, false));
    EXPECT_EQ(ParseCommandLine({"--scale", "8"}).presentation.scale, kMaxScale);
}

TEST(ParseCommandLine, MistakesAreErrorsThatSayWhat) {
    const struct {
        std::vector<std::string> args;
        const char* says;
    } cases[] = {
        {{"--bogus"}, "unknown option \"--bogus\""},
        {{"--fullscreen", "extra"}, "unexpected argument \"extra\""},
        {{"--scale"}, "needs a number"},
        {{"--scale", "0"}, "from 1 to 8, not \"0\""},
        {{"--scale=1.5"}, "not \"1.5\""},
        {{"--bogus", "--help"}, "unknown option"},
    };
    for (const auto& c : cases) {
        const CommandLine r = ParseCommandLine(c.args);
        EXPECT_EQ(r.action, Action::Error) << c.args.front();
        EXPECT_NE(r.error.find(c.says), std::string::npos) << r.error;
    }
}

}  // namespace
}  // namespace vorlax
