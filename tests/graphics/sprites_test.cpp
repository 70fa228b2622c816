// Sprite surfaces: loading, failing to load, freeing, and masked drawing.
#include "graphics/sprites.h"

#include <gtest/gtest.h>

#include <string>

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

using testing::Bitmap24;

TEST_F(Sprites, ABitmapLoadsWithItsSizeAndColours) {
    folder.Write("Enemy Ship 10.bmp", Bitmap24(5, 3, RGB(10, 20, 30)));
    SurfaceHandle s = LoadSpriteDC(folder.File("Enemy Ship 10.bmp"), 5, 3);
    ASSERT_GT(s, 0);
    ASSERT_NE(SurfaceOf(s), nullptr);
    EXPECT_EQ(SurfaceOf(s)->Width(), 5);
    EXPECT_EQ(SurfaceOf(s)->Height(), 3);
    EXPECT_EQ(SurfaceOf(s)->Pixel(4, 2), RGB(10, 20, 30));
    EXPECT_EQ(LiveSurfaceCount(), before + 1);
    EXPECT_NE(FreeSpriteDC(s), 0);
    EXPECT_EQ(s, 0);
    EXPECT_EQ(LiveSurfaceCount(), before);
}

TEST_F(Sprites, AMissingBrokenOrMisSizedFileRaisesTheBitmapErrorSayingWhy) {
    folder.Write("Ship.bmp", Bitmap24(53, 32, RGB(1, 2, 3)));  // an enemy saved as the ship
    folder.Write("Shipmask.bmp", Bitmap24(47, 31, 0));         // a mask a row short
    folder.Write("Enemy Ship 1.bmp", "GIF89a not a bitmap at all");
    folder.Write("Enemy Mask 1.bmp", Bitmap24(47, 32, 0).substr(0, 60));  // cut short
    const std::pair<const char*, const char*> cases[] = {
        {"Ship.bmp", "the picture is 53 x 32 pixels, but 47 x 32 are needed"},
        {"Shipmask.bmp", "the picture is 47 x 31 pixels, but 47 x 32 are needed"},
        {"Enemy Ship 1.bmp", "it is not a bitmap (it does not begin with BM)"},
        {"Enemy Mask 1.bmp",
         "its pixels need 4608 bytes from byte 54, but the file has only 60 bytes"},
        {"Enemy Mask 11.bmp",
         "the file is missing or cannot be opened (No such file or directory)"},
    };
    for (const auto& [name, why] : cases) {
        try {
            LoadSpriteDC(folder.File(name), 47, 32);
            ADD_FAILURE() << name << " loaded";
        } catch (const GameError& e) {
            EXPECT_EQ(e.Number(), kErrBitmapLoad);
            EXPECT_EQ(std::string(e.what()),
                      "Cannot load the bitmap \"" + folder.File(name) + "\": " + why);
        }
    }
    EXPECT_EQ(LiveSurfaceCount(), before);
}

TEST_F(Sprites, FreeingTwiceOrFreeingNothingReleasesNothingAndHandlesAreNeverReused) {
    SurfaceHandle a = AdoptSurface(Surface(2, 2));
    SurfaceHandle copy = a;
    EXPECT_NE(FreeSpriteDC(a), 0);
    EXPECT_EQ(FreeSpriteDC(a), 0);  // the variable now holds 0
    EXPECT_EQ(SurfaceOf(copy), nullptr);
    SurfaceHandle b = AdoptSurface(Surface(1, 1));
    EXPECT_NE(b, copy);
    EXPECT_EQ(FreeSpriteDC(copy), 0);  // a stale handle reaches nothing
    EXPECT_EQ(copy, 0);                // but the variable no longer holds it
    EXPECT_NE(SurfaceOf(b), nullptr);
    SurfaceHandle negative = -5;
    EXPECT_EQ(FreeSpriteDC(negative), 0);
    EXPECT_EQ(negative, -5);
    FreeSpriteDC(b);
    EXPECT_EQ(LiveSurfaceCount(), before);
}

TEST_F(Sprites, MaskedDrawingKeepsTheBackgroundAroundTheShape) {
    const Colour back = RGB(1, 0, 1);
    Surface picture(3, 1, 0), mask(3, 1, RGB(255, 255, 255));
    picture.SetPixel(1, 0, RGB(200, 100, 50));
    mask.SetPixel(1, 0, 0);
    SurfaceHandle p = AdoptSurface(picture), m = AdoptSurface(mask);
    Surface dst(5, 3, back);
    DrawMasked(dst, 1, 1, 3, 1, p, m);
    EXPECT_EQ(dst.Pixel(1, 1), back);
    EXPECT_EQ(dst.Pixel(2, 1), RGB(200, 100, 50));
    EXPECT_EQ(dst.Pixel(3, 1), back);
    // An all-white mask with a black picture leaves everything as it was;
    // an all-black mask copies the picture exactly.
    Surface white(3, 1, RGB(255, 255, 255)), black(3, 1, 0);
    SurfaceHandle w = AdoptSurface(white), k = AdoptSurface(black);
    Surface untouched(5, 3, RGB(7, 8, 9));
    DrawMasked(untouched, 1, 1, 3, 1, k, w);
    EXPECT_EQ(untouched, Surface(5, 3, RGB(7, 8, 9)));
    Surface copied(5, 3, RGB(7, 8, 9));
    DrawMasked(copied, 1, 1, 3, 1, p, k);
    EXPECT_EQ(copied.Pixel(1, 1), 0);
    EXPECT_EQ(copied.Pixel(2, 1), RGB(200, 100, 50));
    // A handle that holds nothing draws nothing.
    Surface same(5, 3, back);
    DrawMasked(same, 0, 0, 3, 1, 0, 0);
    EXPECT_EQ(same, Surface(5, 3, back));
    for (SurfaceHandle* h : {&p, &m, &w, &k}) FreeSpriteDC(*h);
}

}  // namespace
}  // namespace vorlax
