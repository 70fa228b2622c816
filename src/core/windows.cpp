#include "core/windows.h"

#include <cassert>
#include <memory>

#include "core/command_keys.h"
#include "core/startup.h"
#include "core/title_screen.h"

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
    Form& display = windows->display.form;
    display.OnResize = [] { NewGameReset(); };
    display.OnKeyDown = [](int key) { DisplayFormKeyDown(key); };
    display.OnUnload = [] { DisplayFormUnload(); };
}

void DestroyWindows() {
    windows.reset();
}

bool WindowsExist() {
    return windows != nullptr;
}

DisplayWindow& DisplayForm() {
    assert(windows);
    return windows->display;
}

HelpWindow& HelpForm() {
    assert(windows);
    return windows->help;
}

ScoreWindow& ScoreForm() {
    assert(windows);
    return windows->score;
}

}  // namespace vorlax
