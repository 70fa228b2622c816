// Pieces shared by the files of the SDL backend; included by them alone.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <vector>

#include "platform/form.h"
#include "platform/scaling.h"
#include "platform/sdl_platform.h"
#include "raster/raster.h"

namespace vorlax::sdl {

// Where Debian puts Liberation Sans; searched after the program folder.
inline constexpr const char* kSystemFontFolder = "/usr/share/fonts/truetype/liberation";
inline constexpr const char* kRegularFontFile = "LiberationSans-Regular.ttf";
inline constexpr const char* kBoldFontFile = "LiberationSans-Bold.ttf";

struct KeyEntry {
    int vk;
    int scancode;
};

// The one table between key positions and the game's key codes; both the
// held-key poll and the key-down events read it.
const std::vector<KeyEntry>& KeyTable();

// The exit status of a game whose display went away under it.
inline constexpr int kLostDisplayStatus = 1;

// From now on a lost connection to the X server ends the process at once
// with kLostDisplayStatus and one line on stderr.
void EndTheGameIfTheDisplayIsLost();

// Sleeps `ms`, or less when the X server of `window` sends the game
// something. True when it sent nothing, so no event waits to be read; false
// when it did, off X, or without a window (then the whole nap is slept).
bool Nap(SDL_Window* window, std::uint32_t ms);

// A picture of `width` x `height` pixels for `window` in memory shared with
// the X server, handed over without waiting for it; nullptr off X, or where
// the server cannot share memory or the window's pixels are not 32 bits
// (SDL's own window surface serves then).
SharedFramePtr MakeSharedFrame(SDL_Window* window, int width, int height);
SDL_Surface* FrameSurface(const SharedFrame& frame);
// Has the X server show these rectangles of the frame in its window.
void SendFrame(SharedFrame& frame, const SDL_Rect* rects, int count);

// Whether the window system can make `window` cover the screen: on X, only
// a window manager does that; other video drivers are trusted to.
bool CanGoFullscreen(SDL_Window* window);

// `c` in the pixel format of `target`.
Uint32 MapColour(const SDL_Surface* target, Colour c);

// A surface sharing the pixels of `image` (no copy): the raster's pixel layout
// is exactly SDL's XBGR8888. nullptr for an empty image.
SDL_Surface* WrapImage(const Surface& image);

SDL_Rect ToSdl(const PixelRect& r);

// Copies the rectangle `from` of `image` onto the rectangle `to` of `target`,
// enlarged (or reduced) by nearest neighbour, writing only inside `clip`.
void DrawScaled(SDL_Surface* target, const Surface& image, const PixelRect& from,
                const PixelRect& to, const PixelRect& clip);

}  // namespace vorlax::sdl
