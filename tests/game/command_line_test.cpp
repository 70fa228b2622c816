// The command line: presentation options, help and version, and what counts
// as a mistake.
#include "game/command_line.h"

#include <gtest/gtest.h>

namespace vorlax {
namespace {

using Action = CommandLine::Action;

// Nothing means play windowed at the desktop's scale; of fullscreen and
// windowed the last wins.
TEST(ParseCommandLine, PresentationOptions) {
    CommandLine c = ParseCommandLine({});
    EXPECT_EQ(c.action, Action::Play);
    EXPECT_EQ(c.presentation.scale, 0);
    EXPECT_FALSE(c.presentation.fullscreen || c.presentation.anyFactor);
    c = ParseCommandLine({"--fullscreen", "--scale", "3", "--fill"});
    EXPECT_EQ(c.action, Action::Play);
    EXPECT_TRUE(c.presentation.fullscreen);
    EXPECT_EQ(c.presentation.scale, 3);
    EXPECT_TRUE(c.presentation.anyFactor);
    c = ParseCommandLine({"--fullscreen", "--windowed", "--scale=1"});
    EXPECT_FALSE(c.presentation.fullscreen);
    EXPECT_EQ(c.presentation.scale, 1);
    c = ParseCommandLine({"--windowed", "--fullscreen"});
    EXPECT_TRUE(c.presentation.fullscreen);
    EXPECT_EQ(ParseCommandLine({"--scale", "8"}).presentation.scale, kMaxScale);
}

TEST(ParseCommandLine, HelpAndVersion) {
    EXPECT_EQ(ParseCommandLine({"--help"}).action, Action::Help);
    EXPECT_EQ(ParseCommandLine({"-h"}).action, Action::Help);
    EXPECT_EQ(ParseCommandLine({"--fullscreen", "--version"}).action, Action::Version);
    EXPECT_EQ(ParseCommandLine({"--version", "--bogus"}).action, Action::Version);
    EXPECT_NE(VersionText().find("vorlax "), std::string::npos);
    EXPECT_EQ(VersionText().back(), '\n');
    for (const char* option :
         {"--fullscreen", "--windowed", "--scale N", "--fill", "--help", "--version"})
        EXPECT_NE(UsageText().find(option), std::string::npos) << option;
}

TEST(ParseCommandLine, MistakesAreErrorsThatSayWhat) {
    const struct {
        std::vector<std::string> args;
        const char* says;
    } cases[] = {
        {{"--bogus"}, "unknown option \"--bogus\""},
        {{"-f"}, "unknown option"},
        {{"--fullscreen", "extra"}, "unexpected argument \"extra\""},
        {{"--scale"}, "needs a number"},
        {{"--scale", "0"}, "from 1 to 8, not \"0\""},
        {{"--scale", "9"}, "not \"9\""},
        {{"--scale", "2x"}, "not \"2x\""},
        {{"--scale", "-2"}, "not \"-2\""},
        {{"--scale", ""}, "not \"\""},
        {{"--scale=1.5"}, "not \"1.5\""},
        {{"--scale", "99999999999999"}, "not"},
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
