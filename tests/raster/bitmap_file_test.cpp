// The bitmap reader: every pixel format it reads, pixel for pixel, and every
// kind of file it refuses, with the reason the player is shown.
#include "raster/bitmap_file.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "support/bitmap_bytes.h"
#include "support/temp_folder.h"

namespace vorlax {
namespace {

using testing::MakeBitmap;

// A picture where every pixel differs from its neighbours.
std::uint32_t Pattern(int x, int y) {
    return static_cast<std::uint32_t>(RGB(x * 37 % 256, y * 53 % 256, (x + y) * 11 % 256));
}

void ExpectPattern(const Surface& s, int w, int h) {
    ASSERT_EQ(s.Width(), w);
    ASSERT_EQ(s.Height(), h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) ASSERT_EQ(s.Pixel(x, y), Pattern(x, y)) << x << ", " << y;
}

Surface Decode(const std::string& file, int w, int h) {
    return DecodeBitmap({reinterpret_cast<const std::uint8_t*>(file.data()), file.size()}, w, h);
}

// What reading `file` as a w x h picture says, or "" when it reads.
std::string Refusal(const std::string& file, int w, int h) {
    try {
        Decode(file, w, h);
    } catch (const BitmapError& e) {
        return e.what();
    }
    return "";
}

TEST(BitmapFile, EveryPixelFormatReadsPixelForPixel) {
    // Widths 5 and 7 leave 3 and 1 bytes of padding per 24-bit row; 32 bits
    // come plain or with 8-bit colour masks after a 40-byte header or inside
    // a longer one.
    const std::tuple<int, std::uint32_t, std::uint32_t> formats[] = {
        {24, 0, 40}, {32, 0, 40}, {32, 3, 40}, {32, 3, 108}};
    for (int w : {5, 7})
        for (bool topDown : {false, true})
            for (const auto& [bits, compression, header] : formats) {
                SCOPED_TRACE(::testing::Message() << w << " wide, top-down " << topDown << ", "
                                                  << bits << " bits, header " << header);
                testing::BitmapLayout layout{.width = w, .height = 3, .bits = bits};
                layout.compression = compression, layout.headerBytes = header;
                layout.topDown = topDown;
                ExpectPattern(Decode(MakeBitmap(layout, Pattern), w, 3), w, 3);
            }
    // Paletted, 17 pixels a row: the last byte of a row is only partly used
    // at 1 and 4 bits.
    for (int bits : {1, 4, 8}) {
        testing::BitmapLayout layout{.width = 17, .height = 4, .bits = bits};
        for (int i = 0; i < 1 << bits; ++i) layout.palette.push_back(Pattern(i % 17, i / 17));
        const auto index = [bits](int x, int y) {
            return static_cast<std::uint32_t>((y * 17 + x) % (1 << bits));
        };
        const Surface s = Decode(MakeBitmap(layout, index), 17, 4);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 17; ++x)
                ASSERT_EQ(s.Pixel(x, y), layout.palette[index(x, y)])
                    << bits << ": " << x << ", " << y;
    }
}

TEST(BitmapFile, RefusesEachBrokenOrUnsupportedFileSayingWhy) {
    const std::string good = testing::Bitmap24(47, 32, RGB(9, 9, 9));
    auto changed = [&](std::size_t at, std::uint32_t value, int bytes = 4) {
        std::string f = good;
        testing::Poke(f, at, value, bytes);
        return f;
    };
    const std::pair<std::string, std::string> cases[] = {
        {"BM\x01", "it is too short to be a bitmap (3 bytes)"},
        {"GIF89a" + good.substr(6), "it is not a bitmap (it does not begin with BM)"},
        {changed(14, 12),
         "it is an OS/2 bitmap, which is not supported; save it as a Windows bitmap"},
        {changed(14, 64), "its header (64 bytes) is of no known kind"},
        {good.substr(0, 40), "the file ends inside its header"},
        // The size comes first, before anything about the pixels.
        {testing::Bitmap24(53, 32, 0), "the picture is 53 x 32 pixels, but 47 x 32 are needed"},
        {changed(22, static_cast<std::uint32_t>(-32)), ""},  // top-down: the same size
        {changed(22, 0x80000000u), "the picture is 47 x 2147483648 pixels, but 47 x 32 are needed"},
        {changed(30, 4),
         "it holds a JPEG picture inside, which is not supported; save it as a plain bitmap"},
        {changed(30, 7), "its compression (code 7) is unknown"},
        {changed(28, 16, 2), "16 bits per pixel is not supported (1, 4, 8, 24 or 32 bits are)"},
        // Pixels before the end of the headers, or beyond the end of the file.
        {changed(10, 20),
         "its pixels would begin at byte 20, inside its header, which ends at byte 54"},
        {good.substr(0, good.size() - 1),
         "its pixels need 4608 bytes from byte 54, but the file has only 4661 bytes"},
        {changed(10, 0xFFFFFFF0u),
         "its pixels need 4608 bytes from byte 4294967280, but the file has only 4662 bytes"},
    };
    for (const auto& [file, why] : cases) EXPECT_EQ(Refusal(file, 47, 32), why);

    const auto zero = [](int, int) { return 0u; };
    const std::pair<std::string, std::string> formats[] = {
        {MakeBitmap({.bits = 8, .compression = 1}, zero),
         "its pixels are run-length compressed, which is not supported; save it uncompressed"},
        {MakeBitmap({.bits = 32, .compression = 3, .masks = {0xF800, 0x07E0, 0x001F}}, zero),
         "its colour masks are not 8 bits each for red, green and blue, which is the only kind "
         "supported"},
        {MakeBitmap({.bits = 1, .coloursUsed = 3}, zero),
         "its palette claims 3 colours, but a 1-bit pixel can name only 2"},
        {MakeBitmap({.bits = 4, .palette = {0, 0, 0}, .coloursUsed = 3},
                    [](int, int) { return 3u; }),
         "a pixel uses colour 3 of a palette of 3"},
        {MakeBitmap({.bits = 8, .palette = {0, 0}}, zero).substr(0, 14 + 40 + 7),
         "the file ends inside its palette"},
    };
    for (const auto& [file, why] : formats) EXPECT_EQ(Refusal(file, 1, 1), why);
}

// A source that counts what is read from it and claims to be larger than
// the bytes it holds (a huge file whose header is all that matters).
class CountingSource : public ByteSource {
  public:
    explicit CountingSource(const std::string& bytes) : bytes_(bytes) {}
    std::uint64_t Size() const override { return 20'000'000'000ull; }
    bool Read(std::uint64_t offset, std::uint8_t* into, std::size_t count) override {
        read += count;
        for (std::size_t i = 0; i < count; ++i)
            into[i] =
                offset + i < bytes_.size() ? static_cast<std::uint8_t>(bytes_[offset + i]) : 0;
        return true;
    }
    std::uint64_t read = 0;

  private:
    std::string bytes_;
};

TEST(BitmapFile, AHostileHeaderIsRefusedAfterReadingOnlyTheHeaderAndAFileOnDiskReads) {
    // A 4.6 KB ship claiming 60000 x 60000 pixels, in a file that claims to
    // be 20 GB long: nothing beyond the headers is ever read.
    std::string hostile = testing::Bitmap24(47, 32, 0);
    testing::Poke(hostile, 18, 60000);
    testing::Poke(hostile, 22, 60000);
    CountingSource source(hostile);
    EXPECT_THROW(ReadBitmap(source, 47, 32), BitmapError);
    EXPECT_LE(source.read, 14u + 4 + 14 + 40);

    testing::TempFolder folder;
    folder.Write("a.bmp", MakeBitmap({.width = 9, .height = 5}, Pattern));
    ExpectPattern(ReadBitmapFile(folder.File("a.bmp"), 9, 5), 9, 5);
    EXPECT_THROW(ReadBitmapFile(folder.Path().string(), 9, 5), BitmapError) << "a folder";
}

}  // namespace
}  // namespace vorlax
