// The game's three windows, made once the platform exists, with their
// handlers wired to the game.
#pragma once

#include "graphics/display_form.h"
#include "scores/help_form.h"
#include "scores/score_form.h"

namespace vorlax {

// Makes the three windows (not shown yet) and registers them, so that
// DisplayForm(), HelpForm() and ScoreForm() reach them.
void CreateWindows();
// Destroys them; tests call this between cases.
void DestroyWindows();

}  // namespace vorlax
