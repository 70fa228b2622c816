// The display window's command keys.
#pragma once

namespace vorlax {

// Key-down handler of the display window; sees every key pressed while the
// window is active.
void DisplayFormKeyDown(int key);

}  // namespace vorlax
