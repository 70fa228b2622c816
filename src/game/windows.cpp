#include "game/windows.h"

#include <memory>

#include "game/command_keys.h"
#include "game/startup.h"
#include "game/title_screen.h"

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
}

void DestroyWindows() {
    SetDisplayForm(nullptr);
    SetHelpForm(nullptr);
    SetScoreForm(nullptr);
    windows.reset();
}

bool WindowsExist() {
    return windows != nullptr;
}

}  // namespace vorlax
