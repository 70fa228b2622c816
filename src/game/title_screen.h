// The title screen and the values every new game starts from.
#pragma once

namespace vorlax {

// Puts the display window into its title state (labels centred and shown,
// strip hidden, background cleared, focus) and gives every game variable its
// new-game value, with a freshly scattered star field. Runs whenever the
// display window is first shown or resized, and after the high-score window
// is closed with Esc.
void NewGameReset();

}  // namespace vorlax
