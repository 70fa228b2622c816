// The display-free parts of the SDL backend: the game's keys, greedy word
// wrapping and line alignment, and noticing SDL's silent fallback drivers.
#include <SDL.h>
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "platform/keys.h"
#include "platform/sdl_platform.h"

namespace vorlax {
namespace {

TEST(SdlKeys, TheKeysTheGameActsOnComeFromTheirKeysAndOnlyFromThem) {
    const std::pair<int, std::set<int>> keys[] = {
        {VK_RETURN, {SDL_SCANCODE_RETURN, SDL_SCANCODE_KP_ENTER}},
        {VK_SHIFT, {SDL_SCANCODE_LSHIFT, SDL_SCANCODE_RSHIFT}},
        {VK_CONTROL, {SDL_SCANCODE_LCTRL, SDL_SCANCODE_RCTRL}},
        {VK_ESCAPE, {SDL_SCANCODE_ESCAPE}},
        {VK_SPACE, {SDL_SCANCODE_SPACE}},
        {VK_LEFT, {SDL_SCANCODE_LEFT}},
        {VK_UP, {SDL_SCANCODE_UP}},
        {VK_RIGHT, {SDL_SCANCODE_RIGHT}},
        {VK_DOWN, {SDL_SCANCODE_DOWN}},
        {VK_P, {SDL_SCANCODE_P}},
        {VK_F1, {SDL_SCANCODE_F1}},
        {VK_F2, {SDL_SCANCODE_F2}},
        {VK_F3, {SDL_SCANCODE_F3}},
    };
    for (const auto& [vk, scancodes] : keys) {
        const std::vector<int> got = ScancodesForVirtualKey(vk);
        EXPECT_EQ(std::set<int>(got.begin(), got.end()), scancodes) << "virtual key " << vk;
    }
}

// 10 pixels a character, blanks included: easy to reason about.
int TenPerChar(const std::string& s) {
    return static_cast<int>(s.size()) * 10;
}

using Lines = std::vector<std::string>;

TEST(WrapWords, TakesWordsWhileTheWholeLineFitsKeepingBlanksInsideALine) {
    // "aaa bbb" is 70 wide: fits 70 exactly, not 69.
    EXPECT_EQ(WrapWords("aaa bbb ccc", 70, TenPerChar), (Lines{"aaa bbb", "ccc"}));
    EXPECT_EQ(WrapWords("aaa bbb ccc", 69, TenPerChar), (Lines{"aaa", "bbb", "ccc"}));
    // A word too long for any line gets one of its own.
    EXPECT_EQ(WrapWords("a longlonglong b", 50, TenPerChar), (Lines{"a", "longlonglong", "b"}));
    // The tagline has two blanks after its exclamation mark; blanks at a break go.
    EXPECT_EQ(WrapWords("Scream!  Or", 110, TenPerChar), (Lines{"Scream!  Or"}));
    EXPECT_EQ(WrapWords("  ab cd", 50, TenPerChar), (Lines{"  ab", "cd"}));
    EXPECT_EQ(WrapWords("ab\r\n\ncd ef", 1000, TenPerChar), (Lines{"ab", "", "cd ef"}));
}

TEST(AlignedLeft, PlacesALineInItsSpanOverhangingWhenWider) {
    EXPECT_EQ(AlignedLeft(Align::Right, 10, 100, 40), 70);
    EXPECT_EQ(AlignedLeft(Align::Centre, 10, 100, 41), 39);
    EXPECT_EQ(AlignedLeft(Align::Centre, 10, 100, 140), -10);
    EXPECT_EQ(AlignedLeft(Align::Left, 10, 100, 140), 10);
}

// SDL quietly falls back to a driver that shows nothing when it finds no
// display; the game says so unless that driver was asked for.
TEST(IsSilentFallback, OnlyADriverThatShowsNothingAndWasNotAskedFor) {
    EXPECT_TRUE(IsSilentFallback(nullptr, "offscreen"));
    EXPECT_TRUE(IsSilentFallback("dummyish", "dummy"));
    EXPECT_FALSE(IsSilentFallback("x11,offscreen", "offscreen"));
    EXPECT_FALSE(IsSilentFallback(nullptr, "x11"));
}

}  // namespace
}  // namespace vorlax
