// A gamepad as the game sees it: a second keyboard. Its buttons and its left
// stick hold down the very keys the game polls (the arrows, space, Ctrl,
// Shift, P, F2), and each key it takes hold of counts as a key press, so
// every rule of the game works unchanged and the keyboard keeps working
// beside it. Plain code, no SDL.
#pragma once

#include <bitset>
#include <vector>

namespace vorlax {

enum class PadButton {
    A,
    B,
    X,
    Y,
    Back,
    Start,
    LeftShoulder,
    RightShoulder,
    DpadUp,
    DpadDown,
    DpadLeft,
    DpadRight,
    Count
};

struct PadState {
    std::bitset<static_cast<int>(PadButton::Count)> buttons;
    int leftX = 0;  // the left stick, -32768 .. 32767 ...
    int leftY = 0;  // ... with y growing downwards
    bool Pressed(PadButton b) const { return buttons[static_cast<std::size_t>(b)]; }
    void Press(PadButton b, bool down = true) { buttons[static_cast<std::size_t>(b)] = down; }
};

// The game's key codes (0 .. 255) held down.
using HeldKeys = std::bitset<256>;

// The stick holds an arrow down once it is pushed half way, and lets go only
// when it comes back below three eighths, so a stick resting near the
// threshold does not tap the key again and again.
inline constexpr int kStickPress = 16384;
inline constexpr int kStickRelease = 12288;

// The keys the pad holds down now, given those it held before (for the stick):
//   D-pad or left stick   arrows          A                 space (fire)
//   B or right shoulder   Ctrl (shield)   X or left shoulder  Shift (carrier)
//   Start                 F2 (new game; resumes a paused one)
//   Back                  P (pause)
HeldKeys PadKeys(const PadState& pad, const HeldKeys& before);

// The keys held in `now` but not in `before`, in ascending order: each one is
// a key press for the game.
std::vector<int> NewlyHeld(const HeldKeys& before, const HeldKeys& now);

}  // namespace vorlax
