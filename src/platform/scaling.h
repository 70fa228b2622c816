// How a window shows a form on a screen of today. The form's client area
// keeps its size in logical pixels (785 x 617 for the display window, and
// every rule of the game reads only those); the window shows it enlarged,
// each logical pixel as a block of window pixels taken by nearest neighbour,
// so the pixel art stays crisp, centred on the form's background colour.
// Plain arithmetic and pixel copying, no SDL: tested without a display.
#pragma once

#include <cstdint>
#include <vector>

#include "raster/raster.h"

namespace vorlax {

struct Extent {
    int width = 0;
    int height = 0;
    bool operator==(const Extent&) const = default;
};

// What the player chose on the command line.
struct Presentation {
    int scale = 0;            // the windows' scale at start; 0: the largest that fits the desktop
    bool fullscreen = false;  // the main window starts fullscreen
    bool anyFactor =
        false;  // a resized or fullscreen picture takes any factor, not only whole ones
};

inline constexpr int kMaxScale = 8;
// Room kept free around a window at start, for its frame and title bar.
inline constexpr int kDesktopMargin = 64;

// The largest whole scale n >= 1 at which a window of n times `logical`
// still fits `usable` (the desktop without its panels) with kDesktopMargin
// to spare in each direction; 1 when not even that fits; never above kMaxScale.
int StartScale(Extent logical, Extent usable);

// The scale the player asked for (--scale N), lowered to StartScale's when the
// window would not fit `usable`; an unknown desktop (0 x 0) lowers nothing.
int FittingScale(int asked, Extent logical, Extent usable);

// Where a form's picture lies in its window, in window pixels.
struct Viewport {
    Extent logical;  // the form's client area
    PixelRect area;  // the picture in the window

    // The window column where logical column `x` begins (x may lie outside
    // the client area: controls kept out of sight). Consistent with the
    // pixel copy below, so a control lands exactly on the pixels it covers.
    int WindowX(int x) const;
    int WindowY(int y) const;
    // The window rectangle covering the logical rectangle.
    PixelRect ToWindow(int left, int top, int width, int height) const;
    // Window pixels per logical pixel (the smaller of the two directions).
    double Scale() const;
    // A text size in window pixels for one of `pixels` logical pixels.
    int FontPixels(int pixels) const;
};

// The picture of a `logical` client area in a window of `window` pixels:
// scaled by the largest whole factor that fits (with `anyFactor`, by the
// largest factor that fits, whole or not), never below 1, keeping its
// aspect, centred. A window smaller than the picture shows its top left part.
Viewport FitPicture(Extent logical, Extent window, bool anyFactor);

// The parts of the window around the picture (at most four, none empty),
// painted in the form's background colour.
std::vector<PixelRect> Letterbox(const Viewport& view, Extent window);

// A 32-bit pixel layout of a window surface: where each 8-bit channel sits.
struct PixelLayout {
    int redShift = 16, greenShift = 8, blueShift = 0;
    std::uint32_t opaque = 0;  // bits set in every pixel: an alpha channel's, fully opaque
};

// A block of 32-bit pixels to copy onto.
struct PixelTarget {
    std::uint32_t* pixels = nullptr;
    int pitch = 0;  // bytes per row
    Extent size;
    PixelLayout layout;
};

// Copies the rectangle `from` of `image` onto `to` of the target, scaled by
// nearest neighbour (target column c of `to` shows source column
// from.x + floor((c + 1/2) * from.width / to.width), rows likewise), in the
// target's layout. Only pixels inside `clip` and the target are written.
void ScalePixels(const Surface& image, const PixelRect& from, const PixelTarget& target,
                 const PixelRect& to, const PixelRect& clip);

// The rectangles, those lying close together joined into one around them:
// two are joined when the one around them holds at most kMergeSlack pixels
// more than the two. Each piece sent costs the window system a request, and
// the pixels between two stars cost less than that.
inline constexpr int kMergeSlack = 64;
std::vector<PixelRect> MergeNearby(std::vector<PixelRect> rects);

// Asks the processor for the first pixel of each row of `area` in a block of
// 32-bit pixels starting at `pixels`, rows `pitch` bytes apart; `area` lies
// inside the block.
void PrefetchRows(const void* pixels, std::ptrdiff_t pitch, const PixelRect& area);

// Showing only what changed. From one frame to the next most of the play
// field stays the same background; only the stars, ships, shots and the
// strip move. The picture's surface says where it was written since it was
// last shown; after it was filled anew, the window also showed what was
// drawn on the old fill. Only there can a pixel differ from the one shown,
// and those places are what is sent. They are not compared with a copy of
// what was shown first: nearly everything drawn in a frame of play has
// moved, so a comparison would spare few pixels, and reading the copy after
// the game's sleep between two frames costs more than sending them.
class ShownPicture {
  public:
    // `now` is shown whole.
    void TakeAll(const Surface& now);
    // Where `now` may differ from what was shown, taken as shown: the areas
    // written since, those close together joined (MergeNearby). A picture
    // shown for the first time, of another size, written who knows where or
    // filled with another colour is taken whole: one rectangle. The list
    // lasts until the next call.
    const std::vector<PixelRect>& TakeChanges(const Surface& now);
    // Between two frames the game sleeps, and meanwhile its pixels leave the
    // processor's caches. Called on waking, this asks for the rows the next
    // frame will most likely clear and draw on again, those of the areas
    // drawn on last time, so that they arrive while the game's rules run
    // instead of one by one as they are needed.
    void Prefetch(const Surface& now) const;

  private:
    bool taken_ = false;
    Extent size_;
    WrittenAreas seen_;  // the surface's record as last shown
    std::vector<PixelRect> changes_;
};

}  // namespace vorlax
