// Sprite surfaces: loading, freeing, and masked drawing.
#include "graphics/sprites.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "core/errors.h"
#include "support/bitmap_bytes.h"
#include "support/temp_folder.h"

namespace vorlax {
namespace {

class Sprites : public ::testing::Test {
  protected:
    testing::TempFolder folder;
    int before = LiveSurfaceCount();
};

// A bitmap loads at its size only; freeing releases it once, and a stale or
// empty handle reaches nothing.
TEST_F(Sprites, ASpriteLoadsAtItsSizeAndIsFreedOnce) {
    folder.Write("Ship.bmp", testing::Bitmap24(5, 3, RGB(10, 20, 30)));
    try {
        LoadSpriteDC(folder.File("Ship.bmp"), 47, 32);
        ADD_FAILURE() << "loaded at the wrong size";
    } catch (const GameError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot load the bitmap \"" + folder.File("Ship.bmp") +
                                             "\": the picture is 5 x 3 pixels, but 47 x 32 are "
                                             "needed");
    }
    EXPECT_EQ(LiveSurfaceCount(), before);
    SurfaceHandle s = LoadSpriteDC(folder.File("Ship.bmp"), 5, 3);
    const SurfaceHandle copy = s;
    EXPECT_EQ(SurfaceOf(s)->Pixel(4, 2), RGB(10, 20, 30));
    EXPECT_NE(FreeSpriteDC(s), 0);
    EXPECT_EQ(std::tuple(s, FreeSpriteDC(s), SurfaceOf(copy)), std::tuple(0, 0, nullptr));
    SurfaceHandle next = AdoptSurface(Surface(1, 1)), stale = copy;
    EXPECT_NE(next, copy) << "handles are never reused";
    EXPECT_EQ(std::tuple(FreeSpriteDC(stale), stale), std::tuple(0, 0));
    FreeSpriteDC(next);
    EXPECT_EQ(LiveSurfaceCount(), before);
}

}  // namespace
}  // namespace vorlax
