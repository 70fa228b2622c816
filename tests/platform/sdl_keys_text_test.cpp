// The display-free rules of the platform: the game's keys, greedy word
// wrapping, and where the game's files are.
#include <SDL.h>
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "platform/data_folders.h"
#include "platform/keys.h"
#include "platform/sdl_platform.h"

namespace vorlax {
namespace {

TEST(SdlKeys, TheKeysTheGameActsOnComeFromTheirKeysAndOnlyFromThem) {
    // Each key the game acts on, then every scancode that gives it.
    // clang-format off
    const std::vector<std::vector<int>> keys = {
        {VK_RETURN, SDL_SCANCODE_RETURN, SDL_SCANCODE_KP_ENTER}, {VK_ESCAPE, SDL_SCANCODE_ESCAPE},
        {VK_SHIFT, SDL_SCANCODE_LSHIFT, SDL_SCANCODE_RSHIFT}, {VK_SPACE, SDL_SCANCODE_SPACE},
        {VK_CONTROL, SDL_SCANCODE_LCTRL, SDL_SCANCODE_RCTRL}, {VK_P, SDL_SCANCODE_P},
        {VK_LEFT, SDL_SCANCODE_LEFT}, {VK_UP, SDL_SCANCODE_UP}, {VK_RIGHT, SDL_SCANCODE_RIGHT},
        {VK_DOWN, SDL_SCANCODE_DOWN}, {VK_F1, SDL_SCANCODE_F1}, {VK_F2, SDL_SCANCODE_F2},
        {VK_F3, SDL_SCANCODE_F3}, {'0', SDL_SCANCODE_0}, {'9', SDL_SCANCODE_9}};
    // clang-format on
    for (const std::vector<int>& key : keys) {
        std::set<int> got;
        for (int s = 0; s < SDL_NUM_SCANCODES; ++s)
            if (VirtualKeyForScancode(s) == key[0]) got.insert(s);
        EXPECT_EQ(got, std::set<int>(key.begin() + 1, key.end())) << "virtual key " << key[0];
    }
}

// 10 pixels a character, blanks included: easy to reason about.
int TenPerChar(const std::string& s) {
    return static_cast<int>(s.size()) * 10;
}

TEST(WrapWords, TakesWordsWhileTheWholeLineFitsKeepingBlanksInsideALine) {
    using Lines = std::vector<std::string>;
    // "aaa bbb" is 70 wide: fits 70 exactly, not 69.
    EXPECT_EQ(WrapWords("aaa bbb ccc", 70, TenPerChar), (Lines{"aaa bbb", "ccc"}));
    EXPECT_EQ(WrapWords("aaa bbb ccc", 69, TenPerChar), (Lines{"aaa", "bbb", "ccc"}));
    // A word too long for any line gets one of its own; blanks at a break go.
    EXPECT_EQ(WrapWords("a longlonglong b", 50, TenPerChar), (Lines{"a", "longlonglong", "b"}));
    EXPECT_EQ(WrapWords("Scream!  Or", 110, TenPerChar), (Lines{"Scream!  Or"}));
    EXPECT_EQ(WrapWords("  ab cd", 50, TenPerChar), (Lines{"  ab", "cd"}));
    EXPECT_EQ(WrapWords("ab\r\n\ncd ef", 1000, TenPerChar), (Lines{"ab", "", "cd ef"}));
}

TEST(FindGameFolders, BesideTheExecutableFirstThenTheInstalledDataFolders) {
    const std::vector<std::string> installed = {"/opt/g/share/vorlax", "/usr/share/vorlax"};
    const auto found = [&](std::set<std::string> holding) {
        const GameFolders f = FindGameFolders(
            "/opt/g/bin", installed, [&](const std::string& d) { return holding.count(d); });
        return f.program + (f.installed ? " installed" : "");
    };
    EXPECT_EQ(found({"/opt/g/bin", "/opt/g/share/vorlax"}), "/opt/g/bin");
    EXPECT_EQ(found({"/usr/share/vorlax"}), "/usr/share/vorlax installed");
    EXPECT_EQ(found({}), "/opt/g/bin");  // where the missing file is reported
    EXPECT_EQ(InstalledDataFolders("/tmp/prefix/bin").at(0), "/tmp/prefix/share/vorlax");
}

}  // namespace
}  // namespace vorlax
