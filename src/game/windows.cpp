#include "game/windows.h"

#include <memory>

#include "core/game_state.h"
#include "core/tick_readings.h"
#include "game/command_keys.h"
#include "game/frame_loop.h"
#include "game/startup.h"
#include "game/title_screen.h"
#include "platform/keys.h"
#include "platform/platform.h"

namespace vorlax {
namespace {

struct Windows {
    DisplayWindow display;
    HelpWindow help;
    ScoreWindow score;
};

std::unique_ptr<Windows> windows;

}  // namespace

void CreateWindows() {
    windows = std::make_unique<Windows>();
    SetDisplayForm(&windows->display);
    SetHelpForm(&windows->help);
    SetScoreForm(&windows->score);
    Form& display = windows->display.form;
    display.OnResize = [] { NewGameReset(); };
    display.OnKeyDown = [](int key) { DisplayFormKeyDown(key); };
    display.OnUnload = [] { DisplayFormUnload(); };

    // Esc pressed in the other two windows is theirs, not a request to quit
    // a game that is running behind them.
    auto noteEscape = [](int key) {
        if (key == VK_ESCAPE) EscapeTakenByOtherWindow();
    };

    HelpWindow& help = windows->help;
    help.form.OnResize = [] { HelpFormResize(); };
    help.form.OnKeyDown = noteEscape;
    help.form.OnUnload = [] { HelpFormUnload(); };
    help.Picture1->OnKeyDown = [](int key) { HelpPictureKeyDown(key); };

    ScoreWindow& score = windows->score;
    score.form.OnLoad = [] { ScoreFormLoad(); };
    score.form.OnKeyDown = noteEscape;
    score.form.OnUnload = [] { ScoreFormUnload(); };
    for (int i = 0; i < kHighScoreRanks; ++i) {
        score.NameText[static_cast<std::size_t>(i)]->OnKeyDown = [i](int key) {
            NameTextKeyDown(i, key);
        };
    }
    // Esc closes the table and the game returns to its title screen.
    score.Picture1->OnKeyDown = [](int key) {
        if (ScorePictureKeyDown(key)) NewGameReset();
    };
    // However long the game waits for the player, its tick readings never
    // grow so old that elapsed time would read as negative.
    CurrentPlatform().SetIdleTask([] { AgeTickReadings(G, TickCount()); });
}

void DestroyWindows() {
    if (HasPlatform()) CurrentPlatform().SetIdleTask(nullptr);
    SetDisplayForm(nullptr);
    SetHelpForm(nullptr);
    SetScoreForm(nullptr);
    windows.reset();
}

}  // namespace vorlax
