// The high-score window: the top-ten table, and the box in which a player
// whose score entered it types a name.
#pragma once

#include <array>

#include "core/game_state.h"
#include "platform/form.h"

namespace vorlax {

inline constexpr int kScoreClientWidth = 462;
inline constexpr int kScoreClientHeight = 511;

struct ScoreWindow {
    ScoreWindow();

    Form form;

    Label* Label1;  // "Top 10 Scores"
    // Holds the keyboard focus while no name is typed, and takes Esc.
    PictureBox* Picture1;
    // One row per rank r = 1..10 at index r - 1: the rank number (Label2 ..
    // Label11), the score and the name.
    std::array<Label*, kHighScoreRanks> RankLabel;
    std::array<Label*, kHighScoreRanks> ScoreLabel;
    std::array<TextBox*, kHighScoreRanks> NameText;
    Label* Label12;  // "Press ESC - Exit High Score"
};

// The high-score window of this process, made and registered by the game's window set-up.
ScoreWindow& ScoreForm();
void SetScoreForm(ScoreWindow* window);

// The window's handlers.
// Load: fills every row from the table, shows the window and focuses Picture1.
void ScoreFormLoad();
// Key in the name box of row `index` + 1: Enter in the box of a new entry
// stores its text as that rank's name, locks the box and focuses Picture1.
void NameTextKeyDown(int index, int key);
// Key in Picture1: Esc closes the window, which saves the table. Returns
// true then; the caller goes back to the title screen.
bool ScorePictureKeyDown(int key);
// Unload: writes the table to Hiscore.txt and gives the display window the focus.
void ScoreFormUnload();

// The program is ending: if the high-score window is open, a name typed but
// not yet confirmed is stored as it stands, and the window is closed, which
// saves the table. Otherwise nothing happens.
void CloseScoreFormAtProgramEnd();

// The display is gone and the program ends at once: if the high-score window
// was open, the table (with a name as far as it was typed) is written to its
// file without touching any window; a failure is reported on stderr.
void SaveHighScoresWithoutWindows();

}  // namespace vorlax
