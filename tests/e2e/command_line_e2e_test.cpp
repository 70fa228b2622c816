// The real program's command line: help and version print and exit 0, a
// mistake prints the usage on stderr and exits 2. None of them needs a display.
#include <gtest/gtest.h>

#include "e2e/xvfb_harness.h"

extern char** environ;

namespace vorlax::e2e {
namespace {

CommandResult RunGame(std::vector<std::string> args) {
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e)
        if (!std::string_view(*e).starts_with("DISPLAY=")) env.emplace_back(*e);
    args.insert(args.begin(), VORLAX_BINARY);
    return RunCommand(args, env);
}

TEST(E2ECommandLine, HelpAndVersionPrintAndExitZero) {
    const CommandResult help = RunGame({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.starts_with("Usage: vorlax [OPTION]...")) << help.out;
    EXPECT_NE(help.out.find("--scale N"), std::string::npos);
    EXPECT_EQ(help.err, "");

    const CommandResult version = RunGame({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(version.out.starts_with("vorlax ")) << version.out;
    EXPECT_EQ(version.out.back(), '\n');
}

TEST(E2ECommandLine, MistakesPrintTheUsageOnStderrAndExitTwo) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--bogus"}, {"--scale", "0"}, {"--scale"}, {"extra"}}) {
        const CommandResult r = RunGame(args);
        EXPECT_EQ(r.status, 2) << args.front();
        EXPECT_EQ(r.out, "") << args.front();
        EXPECT_TRUE(r.err.starts_with("vorlax: ")) << r.err;
        EXPECT_NE(r.err.find("Usage: vorlax"), std::string::npos) << r.err;
    }
}

}  // namespace
}  // namespace vorlax::e2e
