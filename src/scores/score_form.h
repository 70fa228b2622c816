// The high-score window: the top-ten table and the entry of a new name.
#pragma once

#include "core/platform/form.h"

namespace vorlax {

struct ScoreWindow {
    ScoreWindow();
    Form form;
};

}  // namespace vorlax
