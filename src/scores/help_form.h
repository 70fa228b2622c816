// The help window: the game's controls.
#pragma once

#include "platform/form.h"

namespace vorlax {

struct HelpWindow {
    HelpWindow();
    Form form;
};

// The help window of this process, made and registered by the game's window set-up.
HelpWindow& HelpForm();
void SetHelpForm(HelpWindow* window);

}  // namespace vorlax
