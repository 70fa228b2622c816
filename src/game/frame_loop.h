// The frame loop: the heart of a running game.
#pragma once

namespace vorlax {

// Runs loop passes until GameRunning is false. A pass whose tick reading is
// more than FrameInterval ms past LastFrameTick runs one frame: the gameplay
// steps in their fixed order, the head-up strip, and the whole play field
// redrawn and shown. Every pass ends in the yield, where key handlers run
// (and may start a nested loop). Returns at once after a game over; never
// returns when Esc is held, because the program ends inside it.
void FrameLoop();

// How many frame loops are running, nested inside each other.
int FrameLoopDepth();

// The most frame loops that may run nested; a key that would start another is ignored.
inline constexpr int kMaxFrameLoopDepth = 8;

// An Esc key-down reached the help or the high-score window. That press is
// theirs: the frame loop does not quit on it while the key stays down, even
// after the window has handed the focus back to the display window.
void EscapeTakenByOtherWindow();

// One frame's gameplay steps; false when the game ended in it (the loop then
// returns without drawing).
bool RunGameplaySteps();

// Writes lives, level, wave, score and energy into the head-up strip.
void UpdateStrip();

// The rest of a frame after its gameplay steps: the stars and the shots of
// both sides fly on, the whole play field is drawn onto the display window's
// image, shots past the edges are retired and explosions grow. On the final
// wave the enemy shots are tested against the ship after they are drawn and
// before the carrier is, so a lost ship explodes over the field drawn so far.
void MoveAndDrawPlayField();

}  // namespace vorlax
