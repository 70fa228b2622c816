// The high-score window: the top-ten table and the entry of a new name.
#pragma once

#include "platform/form.h"

namespace vorlax {

struct ScoreWindow {
    ScoreWindow();
    Form form;
};

// The high-score window of this process, made and registered by the game's window set-up.
ScoreWindow& ScoreForm();
void SetScoreForm(ScoreWindow* window);

}  // namespace vorlax
