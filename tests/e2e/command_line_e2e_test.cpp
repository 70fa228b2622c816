// The real program's command line: help and version print and exit 0, a
// mistake prints the usage on stderr and exits 2. None of them needs a display.
#include <gtest/gtest.h>

#include "e2e/xvfb_harness.h"

extern char** environ;

namespace vorlax::e2e {
namespace {

TEST(E2ECommandLine, HelpAndVersionExitZeroAndMistakesPrintTheUsageOnStderrAndExitTwo) {
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string out, err;  // how each begins
    };
    const Case cases[] = {{{"--help"}, 0, "Usage: vorlax [OPTION]...", ""},
                          {{"--version"}, 0, "vorlax ", ""},
                          {{"--bogus"}, 2, "", "vorlax: "},
                          {{"--scale", "0"}, 2, "", "vorlax: "},
                          {{"--scale"}, 2, "", "vorlax: "},
                          {{"extra"}, 2, "", "vorlax: "}};
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e)
        if (!std::string_view(*e).starts_with("DISPLAY=")) env.emplace_back(*e);
    for (const Case& c : cases) {
        std::vector<std::string> argv{VORLAX_BINARY};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        const CommandResult r = RunCommand(argv, env);
        EXPECT_EQ(r.status, c.status) << c.args.front();
        EXPECT_TRUE(r.out.starts_with(c.out) && r.err.starts_with(c.err)) << r.out << r.err;
        EXPECT_EQ(r.out.empty(), c.out.empty()) << r.out;
        EXPECT_EQ(r.err.empty(), c.err.empty()) << r.err;
        EXPECT_NE((r.out + r.err).find(c.args[0] == "--version" ? "\n" : "Usage: vorlax"),
                  std::string::npos);
    }
}

}  // namespace
}  // namespace vorlax::e2e
