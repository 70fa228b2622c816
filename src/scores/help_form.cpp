#include "scores/help_form.h"

namespace vorlax {

HelpWindow::HelpWindow() : form("HelpForm", "Help / Controls", 473, 466) {
    form.SetBackColor(RGB(0, 0, 0));
    form.Cls();
}

}  // namespace vorlax
