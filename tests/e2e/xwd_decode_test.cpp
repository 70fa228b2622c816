// The end-to-end harness's own parsers, without a display: X window dumps in
// the layouts xwd writes, and the window list of xwininfo.
#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "e2e/xvfb_harness.h"

namespace vorlax::e2e {
namespace {

struct DumpLayout {
    std::uint32_t bitsPerPixel = 32;
    bool msbPixels = false;  // byte order of the pixels
    bool msbHeader = true;   // xwd writes the header most significant byte first
    std::uint32_t redMask = 0xFF0000, greenMask = 0x00FF00, blueMask = 0x0000FF;
    std::uint32_t pad = 4;  // rows padded to a multiple of this many bytes
    std::uint32_t colours = 0;
    std::uint32_t format = 2;       // Z-pixmap
    std::uint32_t visualClass = 4;  // TrueColor
};

void PutU32(std::string& out, std::uint32_t v, bool msb) {
    for (int i = 0; i < 4; ++i) {
        const int shift = msb ? 24 - 8 * i : 8 * i;
        out.push_back(static_cast<char>((v >> shift) & 0xFF));
    }
}

// A dump of `width` x `height` pixels whose values come from `pixel(x, y)`.
template <typename PixelFn>
std::string MakeDump(const DumpLayout& l, std::uint32_t width, std::uint32_t height,
                     PixelFn pixel) {
    const std::string name = "test";
    const std::uint32_t headerSize = 100 + static_cast<std::uint32_t>(name.size()) + 1;
    const std::uint32_t bytesPerPixel = l.bitsPerPixel / 8;
    const std::uint32_t stride = (width * bytesPerPixel + l.pad - 1) / l.pad * l.pad;
    const std::uint32_t fields[25] = {headerSize, 7,
                                      l.format,   24,
                                      width,      height,
                                      0,          l.msbPixels ? 1u : 0u,
                                      32,         0,
                                      32,         l.bitsPerPixel,
                                      stride,     l.visualClass,
                                      l.redMask,  l.greenMask,
                                      l.blueMask, 8,
                                      256,        l.colours,
                                      width,      height,
                                      0,          0,
                                      0};
    std::string out;
    for (std::uint32_t f : fields) PutU32(out, f, l.msbHeader);
    out += name;
    out.push_back('\0');
    out.append(std::size_t{l.colours} * 12, '\x55');  // a colour map to skip
    for (std::uint32_t y = 0; y < height; ++y) {
        std::string row;
        for (std::uint32_t x = 0; x < width; ++x) {
            const std::uint32_t v = pixel(x, y);
            for (std::uint32_t i = 0; i < bytesPerPixel; ++i) {
                const std::uint32_t shift = l.msbPixels ? 8 * (bytesPerPixel - 1 - i) : 8 * i;
                row.push_back(static_cast<char>((v >> shift) & 0xFF));
            }
        }
        row.resize(stride, '\x7F');  // padding is never read as a pixel
        out += row;
    }
    return out;
}

// Distinct colours per pixel, so that a swapped byte or a wrong stride shows.
std::uint32_t Sample(std::uint32_t x, std::uint32_t y) {
    return ((10 + x) << 16) | ((100 + y) << 8) | (200 + x + y);
}

void ExpectSamples(const Image& image, int width, int height) {
    ASSERT_EQ(image.Width(), width);
    ASSERT_EQ(image.Height(), height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            ASSERT_EQ(image.At(x, y),
                      (Rgb{static_cast<std::uint8_t>(10 + x), static_cast<std::uint8_t>(100 + y),
                           static_cast<std::uint8_t>(200 + x + y)}))
                << "at " << x << ", " << y;
}

TEST(XwdDecode, ThirtyTwoBitsInBothByteOrders) {
    DumpLayout l;
    ExpectSamples(DecodeXwd(MakeDump(l, 5, 3, Sample)), 5, 3);
    l.msbPixels = true;
    ExpectSamples(DecodeXwd(MakeDump(l, 5, 3, Sample)), 5, 3);
}

TEST(XwdDecode, TwentyFourBitsWithPaddedRowsInBothByteOrders) {
    DumpLayout l;
    l.bitsPerPixel = 24;  // 5 pixels are 15 bytes, padded to 16
    ExpectSamples(DecodeXwd(MakeDump(l, 5, 4, Sample)), 5, 4);
    l.msbPixels = true;
    ExpectSamples(DecodeXwd(MakeDump(l, 5, 4, Sample)), 5, 4);
}

TEST(XwdDecode, ChannelsFollowTheMasksAndTheColourMapIsSkipped) {
    DumpLayout l;
    l.redMask = 0x0000FF;
    l.blueMask = 0xFF0000;
    l.colours = 3;
    const Image image = DecodeXwd(MakeDump(
        l, 2, 1, [](std::uint32_t x, std::uint32_t) { return x == 0 ? 0x0000FFu : 0x010203u; }));
    EXPECT_EQ(image.At(0, 0), (Rgb{255, 0, 0}));
    EXPECT_EQ(image.At(1, 0), (Rgb{3, 2, 1}));
}

TEST(XwdDecode, ASwappedHeaderIsReadToo) {
    DumpLayout l;
    l.msbHeader = false;
    ExpectSamples(DecodeXwd(MakeDump(l, 3, 2, Sample)), 3, 2);
}

TEST(XwdDecode, NarrowMasksAreScaledToEightBits) {
    DumpLayout l;  // a 15-bit visual in a 32-bit pixel: 5 bits per channel
    l.redMask = 0x7C00;
    l.greenMask = 0x03E0;
    l.blueMask = 0x001F;
    const Image image = DecodeXwd(
        MakeDump(l, 2, 1, [](std::uint32_t x, std::uint32_t) { return x == 0 ? 0x7FFFu : 0u; }));
    EXPECT_EQ(image.At(0, 0), (Rgb{255, 255, 255}));
    EXPECT_EQ(image.At(1, 0), (Rgb{0, 0, 0}));
}

TEST(XwdDecode, RejectsWhatItCannotRead) {
    const std::string good = MakeDump(DumpLayout{}, 4, 4, Sample);
    EXPECT_THROW(DecodeXwd(good.substr(0, 60)), std::runtime_error) << "cut inside the header";
    EXPECT_THROW(DecodeXwd(good.substr(0, good.size() - 5)), std::runtime_error)
        << "last row cut short";
    std::string notADump = good;
    notADump[7] = 6;  // file version
    EXPECT_THROW(DecodeXwd(notADump), std::runtime_error);

    DumpLayout sixteen;
    sixteen.bitsPerPixel = 16;
    EXPECT_THROW(DecodeXwd(MakeDump(sixteen, 4, 4, Sample)), std::runtime_error);
    DumpLayout xyPixmap;
    xyPixmap.format = 1;
    EXPECT_THROW(DecodeXwd(MakeDump(xyPixmap, 4, 4, Sample)), std::runtime_error);
    DumpLayout pseudo;
    pseudo.visualClass = 3;  // PseudoColor: pixels are colour-map indexes
    EXPECT_THROW(DecodeXwd(MakeDump(pseudo, 4, 4, Sample)), std::runtime_error);
}

TEST(XwdDecode, ALastRowWithoutItsPaddingIsAccepted) {
    DumpLayout l;
    l.bitsPerPixel = 24;
    std::string dump = MakeDump(l, 5, 2, Sample);
    dump.pop_back();  // 15 pixel bytes in a 16-byte row
    ExpectSamples(DecodeXwd(dump), 5, 2);
}

TEST(WindowTree, FindsNamedWindowsWithTheirGeometry) {
    const std::string tree = R"(
xwininfo: Window id: 0x50d (the root window) (has no name)

  Root window id: 0x50d (the root window) (has no name)
  Parent window id: 0x0 (none)
     3 children:
     0x600002 "VORLAX": ()  618x100+203+222  +203+222
     0x200002 "VORLAX": ("vorlax" "vorlax")  785x617+119+75  +119+75
        1 child:
        0x200003 (has no name): ()  1x1+-1+-1  +118+74
     0x400001 "a: \"quoted\"": ()  10x20+-5+7  +-5+7
)";
    const std::vector<WindowInfo> w = ParseWindowTree(tree);
    ASSERT_EQ(w.size(), 3u);
    EXPECT_EQ(w[0].id, 0x600002u);
    EXPECT_EQ(w[0].title, "VORLAX");
    EXPECT_EQ(w[0].width, 618);
    EXPECT_EQ(w[0].height, 100);
    EXPECT_EQ(w[0].x, 203);
    EXPECT_EQ(w[0].y, 222);
    EXPECT_EQ(w[1].id, 0x200002u);
    EXPECT_EQ(w[1].width, 785);
    EXPECT_EQ(w[1].height, 617);
    EXPECT_EQ(w[2].x, -5);
    EXPECT_EQ(w[2].y, 7);
}

TEST(ImageQueries, CountAndBoundingBoxStayInsideThePicture) {
    Image image(6, 4);
    const Rgb red{255, 0, 0};
    image.Set(1, 1, red);
    image.Set(4, 2, red);
    const auto isRed = [&](Rgb c) { return c == red; };
    EXPECT_EQ(image.Count(image.Bounds(), red), 2);
    EXPECT_EQ(image.Count({-10, -10, 100, 100}, red), 2);
    EXPECT_EQ(image.Count({2, 0, 2, 4}, red), 0);
    EXPECT_EQ(image.BoundingBox(image.Bounds(), isRed), (Rect{1, 1, 4, 2}));
    EXPECT_EQ(image.BoundingBox({2, 0, 4, 4}, isRed), (Rect{4, 2, 1, 1}));
    EXPECT_TRUE(image.BoundingBox({0, 3, 6, 1}, isRed).Empty());
}

}  // namespace
}  // namespace vorlax::e2e
