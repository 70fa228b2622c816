// Start-up, shut-down and the end of the program.
#pragma once

namespace vorlax {

// Loads the 26 sprites from the program folder, fills the enemy size table,
// sets the palette, reads the high-score table, checks that the platform has
// the fonts for the windows' text and shows the display window
// (whose first resize shows the title screen). Any error on the way is shown
// in a message box captioned "VORLAX", and then everything loaded so far is
// freed by Shutdown.
void Main();

// The single way out: frees every sprite surface once and closes the display
// window, whose unload handler ends the program.
void Shutdown();

// Frees the 26 sprite surfaces in load order; a surface not loaded (or
// already freed) is skipped, so each is freed at most once.
void FreeGameSprites();

// Unload handler of the display window: stops the frame loop, shuts down and
// ends the program from whatever depth it was called.
void DisplayFormUnload();

// Everything main() does once the platform exists: the windows, Main, then
// events until the program ends. Returns the exit status: 0 after a normal
// quit, 1 after a failed start-up.
int RunGame();

}  // namespace vorlax
