// The display-free parts of the SDL backend: the key table between SDL
// scancodes and the game's virtual-key codes, greedy word wrapping and line
// alignment.
#include <SDL.h>
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/keys.h"
#include "platform/sdl_platform.h"

namespace vorlax {
namespace {

// Every key the game can see, with the scancodes that produce it.
const std::vector<std::pair<int, std::vector<int>>>& ExpectedKeys() {
    static const std::vector<std::pair<int, std::vector<int>>> keys = [] {
        std::vector<std::pair<int, std::vector<int>>> k = {
            {13, {SDL_SCANCODE_RETURN, SDL_SCANCODE_KP_ENTER}},
            {8, {SDL_SCANCODE_BACKSPACE}},
            {9, {SDL_SCANCODE_TAB}},
            {16, {SDL_SCANCODE_LSHIFT, SDL_SCANCODE_RSHIFT}},
            {17, {SDL_SCANCODE_LCTRL, SDL_SCANCODE_RCTRL}},
            {18, {SDL_SCANCODE_LALT, SDL_SCANCODE_RALT}},
            {27, {SDL_SCANCODE_ESCAPE}},
            {32, {SDL_SCANCODE_SPACE}},
            {33, {SDL_SCANCODE_PAGEUP}},
            {34, {SDL_SCANCODE_PAGEDOWN}},
            {35, {SDL_SCANCODE_END}},
            {36, {SDL_SCANCODE_HOME}},
            {37, {SDL_SCANCODE_LEFT}},
            {38, {SDL_SCANCODE_UP}},
            {39, {SDL_SCANCODE_RIGHT}},
            {40, {SDL_SCANCODE_DOWN}},
            {45, {SDL_SCANCODE_INSERT}},
            {46, {SDL_SCANCODE_DELETE}},
            {186, {SDL_SCANCODE_SEMICOLON}},
            {187, {SDL_SCANCODE_EQUALS}},
            {188, {SDL_SCANCODE_COMMA}},
            {189, {SDL_SCANCODE_MINUS}},
            {190, {SDL_SCANCODE_PERIOD}},
            {191, {SDL_SCANCODE_SLASH}},
            {192, {SDL_SCANCODE_GRAVE}},
            {219, {SDL_SCANCODE_LEFTBRACKET}},
            {220, {SDL_SCANCODE_BACKSLASH}},
            {221, {SDL_SCANCODE_RIGHTBRACKET}},
            {222, {SDL_SCANCODE_APOSTROPHE}},
            {'0', {SDL_SCANCODE_0}},
            {'1', {SDL_SCANCODE_1}},
            {'5', {SDL_SCANCODE_5}},
            {'9', {SDL_SCANCODE_9}},
            {96, {SDL_SCANCODE_KP_0}},
            {97, {SDL_SCANCODE_KP_1}},
            {105, {SDL_SCANCODE_KP_9}},
            {112, {SDL_SCANCODE_F1}},
            {113, {SDL_SCANCODE_F2}},
            {114, {SDL_SCANCODE_F3}},
            {123, {SDL_SCANCODE_F12}},
        };
        for (int l = 0; l < 26; ++l) k.push_back({'A' + l, {SDL_SCANCODE_A + l}});
        for (int d = 1; d <= 8; ++d) {
            k.push_back({'0' + d, {SDL_SCANCODE_1 + d - 1}});
            k.push_back({96 + d, {SDL_SCANCODE_KP_1 + d - 1}});
        }
        for (int f = 0; f < 12; ++f) k.push_back({112 + f, {SDL_SCANCODE_F1 + f}});
        return k;
    }();
    return keys;
}

TEST(SdlKeyTable, EveryGameKeyHasItsScancodes) {
    for (const auto& [vk, scancodes] : ExpectedKeys()) {
        std::vector<int> got = ScancodesForVirtualKey(vk);
        EXPECT_EQ(std::set<int>(got.begin(), got.end()),
                  std::set<int>(scancodes.begin(), scancodes.end()))
            << "virtual key " << vk;
    }
}

TEST(SdlKeyTable, EveryScancodeLeadsBackToItsKey) {
    for (const auto& [vk, scancodes] : ExpectedKeys()) {
        for (int sc : scancodes)
            EXPECT_EQ(VirtualKeyForScancode(sc), vk)
                << "scancode " << SDL_GetScancodeName(static_cast<SDL_Scancode>(sc));
    }
}

TEST(SdlKeyTable, NamedCodesMatchTheKeyHeader) {
    EXPECT_EQ(VirtualKeyForScancode(SDL_SCANCODE_RETURN), VK_RETURN);
    EXPECT_EQ(VirtualKeyForScancode(SDL_SCANCODE_RSHIFT), VK_SHIFT);
    EXPECT_EQ(VirtualKeyForScancode(SDL_SCANCODE_RCTRL), VK_CONTROL);
    EXPECT_EQ(VirtualKeyForScancode(SDL_SCANCODE_ESCAPE), VK_ESCAPE);
    EXPECT_EQ(VirtualKeyForScancode(SDL_SCANCODE_P), VK_P);
    EXPECT_EQ(VirtualKeyForScancode(SDL_SCANCODE_F3), VK_F3);
    EXPECT_EQ(VirtualKeyForScancode(SDL_SCANCODE_LEFT), VK_LEFT);
    EXPECT_EQ(VirtualKeyForScancode(SDL_SCANCODE_DOWN), VK_DOWN);
}

TEST(SdlKeyTable, EachScancodeMeansOneKeyAndUnknownKeysMeanNone) {
    std::map<int, int> seen;
    for (int vk = 0; vk < 256; ++vk) {
        for (int sc : ScancodesForVirtualKey(vk)) {
            EXPECT_TRUE(seen.emplace(sc, vk).second)
                << "scancode " << sc << " claimed by " << seen[sc] << " and " << vk;
            EXPECT_GT(sc, SDL_SCANCODE_UNKNOWN);
            EXPECT_LT(sc, SDL_NUM_SCANCODES);
        }
    }
    EXPECT_EQ(VirtualKeyForScancode(SDL_SCANCODE_UNKNOWN), 0);
    EXPECT_EQ(VirtualKeyForScancode(SDL_SCANCODE_F24), 0);
    EXPECT_EQ(VirtualKeyForScancode(SDL_SCANCODE_MUTE), 0);
    EXPECT_EQ(VirtualKeyForScancode(-1), 0);
    EXPECT_EQ(VirtualKeyForScancode(SDL_NUM_SCANCODES), 0);
    EXPECT_TRUE(ScancodesForVirtualKey(0).empty());
    EXPECT_TRUE(ScancodesForVirtualKey(7).empty());
    EXPECT_TRUE(ScancodesForVirtualKey(1000).empty());
}

// 10 pixels a character, blanks included: easy to reason about.
int TenPerChar(const std::string& s) {
    return static_cast<int>(s.size()) * 10;
}

TEST(WrapWords, TakesWordsWhileTheyFit) {
    // "aaa bbb" is 70 wide: fits 70 exactly, not 69.
    EXPECT_EQ(WrapWords("aaa bbb ccc", 70, TenPerChar),
              (std::vector<std::string>{"aaa bbb", "ccc"}));
    EXPECT_EQ(WrapWords("aaa bbb ccc", 69, TenPerChar),
              (std::vector<std::string>{"aaa", "bbb", "ccc"}));
    EXPECT_EQ(WrapWords("aaa bbb ccc", 110, TenPerChar), (std::vector<std::string>{"aaa bbb ccc"}));
}

TEST(WrapWords, AWordTooLongGetsALineOfItsOwn) {
    EXPECT_EQ(WrapWords("a longlonglong b", 50, TenPerChar),
              (std::vector<std::string>{"a", "longlonglong", "b"}));
    EXPECT_EQ(WrapWords("longlonglong", 50, TenPerChar),
              (std::vector<std::string>{"longlonglong"}));
    EXPECT_EQ(WrapWords("x y", 0, TenPerChar), (std::vector<std::string>{"x", "y"}));
}

TEST(WrapWords, BlanksInsideALineStayAndBlanksAtABreakGo) {
    // The tagline has two blanks after its exclamation mark.
    EXPECT_EQ(WrapWords("Scream!  Or", 110, TenPerChar), (std::vector<std::string>{"Scream!  Or"}));
    EXPECT_EQ(WrapWords("Scream!  Or", 100, TenPerChar),
              (std::vector<std::string>{"Scream!", "Or"}));
    EXPECT_EQ(WrapWords("ab   ", 100, TenPerChar), (std::vector<std::string>{"ab"}));
    EXPECT_EQ(WrapWords("  ab cd", 50, TenPerChar), (std::vector<std::string>{"  ab", "cd"}));
}

TEST(WrapWords, LineBreaksInTheTextAlwaysBreak) {
    EXPECT_EQ(WrapWords("ab\ncd ef", 1000, TenPerChar), (std::vector<std::string>{"ab", "cd ef"}));
    EXPECT_EQ(WrapWords("ab\r\n\ncd", 1000, TenPerChar),
              (std::vector<std::string>{"ab", "", "cd"}));
    EXPECT_EQ(WrapWords("", 100, TenPerChar), (std::vector<std::string>{""}));
}

TEST(WrapWords, MeasuresWholeCandidateLines) {
    // A measure that is not additive (kerning, bold): only whole lines count.
    auto measure = [](const std::string& s) { return s == "ab cd" ? 1000 : TenPerChar(s); };
    EXPECT_EQ(WrapWords("ab cd", 100, measure), (std::vector<std::string>{"ab", "cd"}));
}

TEST(AlignedLeft, PlacesALineInItsSpan) {
    EXPECT_EQ(AlignedLeft(Align::Left, 10, 100, 40), 10);
    EXPECT_EQ(AlignedLeft(Align::Right, 10, 100, 40), 70);
    EXPECT_EQ(AlignedLeft(Align::Centre, 10, 100, 40), 40);
    EXPECT_EQ(AlignedLeft(Align::Centre, 10, 100, 41), 39);
    // Wider than the span: overhangs, on both sides when centred.
    EXPECT_EQ(AlignedLeft(Align::Centre, 10, 100, 140), -10);
    EXPECT_EQ(AlignedLeft(Align::Right, 10, 100, 140), -30);
    EXPECT_EQ(AlignedLeft(Align::Left, 10, 100, 140), 10);
}

TEST(IsSilentFallback, OnlyADriverThatShowsNothingAndWasNotAskedFor) {
    EXPECT_TRUE(IsSilentFallback(nullptr, "offscreen"));
    EXPECT_TRUE(IsSilentFallback(nullptr, "dummy"));
    EXPECT_TRUE(IsSilentFallback("", "offscreen"));
    EXPECT_TRUE(IsSilentFallback("x11", "offscreen"));
    EXPECT_TRUE(IsSilentFallback("x11,wayland", "dummy"));
    EXPECT_TRUE(IsSilentFallback("dummyish", "dummy"));
    EXPECT_FALSE(IsSilentFallback("dummy", "dummy"));
    EXPECT_FALSE(IsSilentFallback("offscreen", "offscreen"));
    EXPECT_FALSE(IsSilentFallback("x11,offscreen", "offscreen"));
    EXPECT_FALSE(IsSilentFallback(nullptr, "x11"));
    EXPECT_FALSE(IsSilentFallback(nullptr, "wayland"));
    EXPECT_FALSE(IsSilentFallback("dummy", nullptr));
}

}  // namespace
}  // namespace vorlax
