#include "game/windows.h"

#include <memory>

#include "core/game_state.h"
#include "core/tick_readings.h"
#include "game/command_keys.h"
#include "game/startup.h"
#include "game/title_screen.h"
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
    // However long the game waits for the player, its tick readings never
    // grow so old that elapsed time would read as negative.
    CurrentPlatform().SetIdleTask(
        [] { AgeTickReadings(G, static_cast<Long>(CurrentPlatform().GetTickCount())); });
}

void DestroyWindows() {
    if (HasPlatform()) CurrentPlatform().SetIdleTask(nullptr);
    SetDisplayForm(nullptr);
    SetHelpForm(nullptr);
    SetScoreForm(nullptr);
    windows.reset();
}

bool WindowsExist() {
    return windows != nullptr;
}

}  // namespace vorlax
