// Sprite surfaces: loading, failing to load, freeing, and masked drawing.
#include "graphics/sprites.h"

#include <gtest/gtest.h>

#include "core/errors.h"
#include "support/temp_folder.h"

namespace vorlax {
namespace {

class Sprites : public ::testing::Test {
  protected:
    testing::TempFolder folder;
    int before = LiveSurfaceCount();
};

// A bitmap file's bytes: 24-bit, bottom-up rows padded to 4 bytes.
std::string Bitmap24(int w, int h, Colour colour) {
    const int row = (w * 3 + 3) & ~3;
    const int size = 54 + row * h;
    std::string b(static_cast<std::size_t>(size), '\0');
    auto put32 = [&](int at, int v) {
        for (int i = 0; i < 4; ++i)
            b[static_cast<std::size_t>(at + i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, size);
    put32(10, 54);
    put32(14, 40);
    put32(18, w);
    put32(22, h);
    b[26] = 1;
    b[28] = 24;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const std::size_t at = static_cast<std::size_t>(54 + y * row + x * 3);
            b[at] = static_cast<char>(BlueOf(colour));
            b[at + 1] = static_cast<char>(GreenOf(colour));
            b[at + 2] = static_cast<char>(RedOf(colour));
        }
    }
    return b;
}

TEST_F(Sprites, ABitmapLoadsWithItsSizeAndColours) {
    folder.Write("Enemy Ship 10.bmp", Bitmap24(5, 3, RGB(10, 20, 30)));
    SurfaceHandle s = LoadSpriteDC(folder.File("Enemy Ship 10.bmp"));
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

TEST_F(Sprites, AMissingFileRaisesTheBitmapErrorAndLeavesNoSurface) {
    try {
        LoadSpriteDC(folder.File("Enemy Mask 11.bmp"));
        FAIL() << "no error raised";
    } catch (const GameError& e) {
        EXPECT_EQ(e.Number(), -2147221502);
        EXPECT_NE(std::string(e.what()).find("Enemy Mask 11.bmp"), std::string::npos);
        EXPECT_NE(std::string(e.what()).find("missing"), std::string::npos);
    }
    EXPECT_EQ(LiveSurfaceCount(), before);
}

TEST_F(Sprites, AFileThatIsNotABitmapRaisesTheBitmapError) {
    folder.Write("Ship.bmp", "GIF89a not a bitmap at all");
    folder.Write("Shipmask.bmp", Bitmap24(4, 4, 0).substr(0, 60));  // cut short
    folder.Write("empty.bmp", "");
    for (const char* name : {"Ship.bmp", "Shipmask.bmp", "empty.bmp"}) {
        try {
            LoadSpriteDC(folder.File(name));
            ADD_FAILURE() << name << " loaded";
        } catch (const GameError& e) {
            EXPECT_EQ(e.Number(), kErrBitmapLoad);
            EXPECT_NE(std::string(e.what()).find(name), std::string::npos);
        }
    }
    EXPECT_EQ(LiveSurfaceCount(), before);
}

TEST_F(Sprites, FreeingTwiceOrFreeingNothingReleasesNothing) {
    SurfaceHandle a = AdoptSurface(Surface(2, 2));
    SurfaceHandle copy = a;
    EXPECT_NE(FreeSpriteDC(a), 0);
    EXPECT_EQ(FreeSpriteDC(a), 0);     // the variable now holds 0
    EXPECT_EQ(FreeSpriteDC(copy), 0);  // a stale handle reaches nothing
    EXPECT_EQ(copy, 0);                // but the variable no longer holds it
    SurfaceHandle none = 0, negative = -5;
    EXPECT_EQ(FreeSpriteDC(none), 0);
    EXPECT_EQ(FreeSpriteDC(negative), 0);
    EXPECT_EQ(negative, -5);
    EXPECT_EQ(LiveSurfaceCount(), before);
    EXPECT_EQ(SurfaceOf(copy), nullptr);
}

TEST_F(Sprites, HandlesAreNeverReused) {
    SurfaceHandle a = AdoptSurface(Surface(1, 1));
    SurfaceHandle old = a;
    FreeSpriteDC(a);
    SurfaceHandle b = AdoptSurface(Surface(1, 1));
    EXPECT_NE(b, old);
    EXPECT_EQ(SurfaceOf(old), nullptr);
    FreeSpriteDC(b);
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
