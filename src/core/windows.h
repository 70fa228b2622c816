// The game's three windows, made once the platform exists.
#pragma once

#include "graphics/display_form.h"
#include "scores/help_form.h"
#include "scores/score_form.h"

namespace vorlax {

// Makes the three windows (not shown yet).
void CreateWindows();
// Destroys them; tests call this between cases.
void DestroyWindows();
bool WindowsExist();

DisplayWindow& DisplayForm();
HelpWindow& HelpForm();
ScoreWindow& ScoreForm();

}  // namespace vorlax
