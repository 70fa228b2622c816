#include "scores/help_form.h"

#include <cassert>

namespace vorlax {
namespace {
HelpWindow* current = nullptr;
}

HelpWindow& HelpForm() {
    assert(current != nullptr && "the windows have not been made");
    return *current;
}

void SetHelpForm(HelpWindow* window) {
    current = window;
}

HelpWindow::HelpWindow() : form("HelpForm", "Help / Controls", 473, 466) {
    form.SetBackColor(RGB(0, 0, 0));
    form.Cls();
}

}  // namespace vorlax
