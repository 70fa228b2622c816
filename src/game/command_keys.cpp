#include "game/command_keys.h"

#include "core/game_state.h"
#include "game/frame_loop.h"
#include "game/startup.h"
#include "game/title_screen.h"
#include "game/windows.h"
#include "platform/platform.h"

namespace vorlax {
// Five tests, one after the other, on the same key; none is skipped because
// an earlier one matched. So F2 on a game that the player pauses (the loop
// returns to here) meets the resume test at once, and F1 or F3 on a paused
// game shows its window and then resumes the game behind it.
void DisplayFormKeyDown(int key) {
    DisplayWindow& display = DisplayForm();
    // Each F2 during play nests one more frame loop inside the running one;
    // past a bound the key is ignored, so holding F2 down cannot exhaust the stack.
    const bool roomForALoop = FrameLoopDepth() < kMaxFrameLoopDepth;

    // A game that has ended is never played on: its first frame would end it
    // again and enter the same score in the table a second time. F2 on it
    // starts a new game instead, once the high-score window is closed (while
    // that window is open, the player finishes there; its Esc shows the title).
    const bool ended = G.GameEnded;
    if (key == VK_F2 && roomForALoop && !(ended && ScoreForm().form.Loaded())) {
        if (ended) NewGameReset();
        for (Label* label : display.TitleLabels()) label->SetVisible(false);
        for (TextBox* box : display.StripBoxes()) box->SetVisible(true);
        display.CollisionPict->SetLeft(display.form.ClientWidth() + 20);
        G.GameRunning = True;
        FrameLoop();
    }
    if (key == VK_F1) HelpForm().form.Show();
    if (key == VK_F3) ScoreForm().form.Show();
    if (key == VK_ESCAPE) {
        G.GameRunning = False;
        Shutdown();
        CurrentPlatform().End(0);
    }
    if (key != VK_P && G.Paused == True && !G.GameEnded && FrameLoopDepth() < kMaxFrameLoopDepth) {
        G.Paused = False;
        G.GameRunning = True;
        FrameLoop();
    }
}

}  // namespace vorlax
