// The help window: the game's controls.
#pragma once

#include "core/platform/form.h"

namespace vorlax {

struct HelpWindow {
    HelpWindow();
    Form form;
};

}  // namespace vorlax
