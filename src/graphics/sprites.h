// Sprite surfaces: bitmaps loaded once into off-screen surfaces, referred to
// by handle, and drawn with their masks.
#pragma once

#include <string>

#include "core/types.h"
#include "raster/raster.h"

namespace vorlax {

// Loads the bitmap file at `path`, which must be exactly `width` x `height`
// pixels (the size the game draws it at), into a new surface and returns its
// handle (always above 0). A missing file, one that is not a bitmap the game
// can read, or one of another size raises GameError kErrBitmapLoad, naming the
// file and what is wrong, and leaves no surface behind. The header is checked
// before anything is allocated for the pixels.
SurfaceHandle LoadSpriteDC(const std::string& path, int width, int height);

// Frees the surface `surface` refers to and sets the variable to 0; returns
// nonzero. For 0 or a negative value it does nothing and returns 0; for a
// handle already freed (through another copy) it releases nothing, returns 0
// and still sets the variable to 0.
Long FreeSpriteDC(SurfaceHandle& surface);

// Takes ownership of a surface made in memory (tests, tools) and returns its handle.
SurfaceHandle AdoptSurface(Surface surface);

// The surface behind a handle, or nullptr for 0 or a freed handle.
Surface* SurfaceOf(SurfaceHandle handle);

// Number of surfaces currently held.
int LiveSurfaceCount();

// Masked drawing: the mask with SRCAND, then the picture with SRCPAINT, both
// read from their top-left pixel, w x h at (x, y) of `dst`. Where the mask is
// white and the picture black the destination stays; where the mask is black
// the picture's colour shows.
void DrawMasked(Surface& dst, int x, int y, int w, int h, SurfaceHandle picture,
                SurfaceHandle mask);

}  // namespace vorlax
