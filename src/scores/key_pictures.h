// The pictures of the four arrow keys shown in the help window.
#pragma once

#include <cstdint>
#include <span>

#include "core/game_files.h"
#include "raster/raster.h"

namespace vorlax {

enum class ArrowKey { Right, Left, Up, Down };

// The bytes of the key's bitmap file, as the build carried them into the game.
std::span<const std::uint8_t> KeyPictureBitmap(ArrowKey key);

// The key's 32 x 32 picture: a silver key cap carrying an arrow. Decoded once;
// never fails (a picture that would not decode shows as a bare key cap).
const Surface& KeyPicture(ArrowKey key);

}  // namespace vorlax
