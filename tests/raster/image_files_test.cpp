// Picture files: PNGs are checked for their framing (signature, chunk CRCs,
// header) and, for small pictures, against encodings that an independent
// decoder (Python's zlib) read back to the very pixels; X window dumps are
// built here in the layouts xwd writes, and cut or bent ones must be refused
// without reading past their end.
#include "raster/image_files.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace vorlax {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint32_t BigEndian(const Bytes& d, std::size_t at) {
    return std::uint32_t{d.at(at)} << 24 | std::uint32_t{d.at(at + 1)} << 16 |
           std::uint32_t{d.at(at + 2)} << 8 | d.at(at + 3);
}

// The chunks of `png` by type, after checking the signature, that each chunk's
// CRC (computed bit by bit, unlike the encoder's table) holds, and that the
// chunks are IHDR, IDAT and IEND in that order and nothing follows.
std::map<std::string, Bytes> Chunks(const Bytes& png) {
    EXPECT_EQ(Bytes(png.begin(), png.begin() + 8),
              (Bytes{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}));
    std::map<std::string, Bytes> chunks;
    std::string order;
    std::size_t at = 8;
    while (at < png.size()) {
        const std::size_t length = BigEndian(png, at);
        std::uint32_t crc = 0xFFFFFFFFu;
        for (std::size_t i = at + 4; i < at + 8 + length; ++i) {
            crc ^= png.at(i);
            for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
        const std::string type(png.begin() + static_cast<std::ptrdiff_t>(at + 4),
                               png.begin() + static_cast<std::ptrdiff_t>(at + 8));
        EXPECT_EQ(BigEndian(png, at + 8 + length), ~crc) << type;
        chunks[type].assign(png.begin() + static_cast<std::ptrdiff_t>(at + 8),
                            png.begin() + static_cast<std::ptrdiff_t>(at + 8 + length));
        order += type;
        at += 12 + length;
    }
    EXPECT_EQ(order, "IHDRIDATIEND");
    return chunks;
}

TEST(PngEncode, SmallPicturesGiveEncodingsKnownToDecodeToTheirPixels) {
    // Rows of a ramp, the same ramp again, flat colour and a row that is its
    // neighbours' mean: the encoder filters them with Sub, Up, Sub and
    // Average, and the repeats become matches.
    Surface rgb(6, 4, RGB(200, 40, 40));
    const int red[] = {100, 150, 175, 187, 193, 196}, green[] = {20, 30, 35, 37, 38, 39};
    for (int x = 0; x < 6; ++x) {
        rgb.SetPixel(x, 0, RGB(10 * x, 100, 250 - 7 * x));
        rgb.SetPixel(x, 1, RGB(10 * x, 100, 250 - 7 * x));
        rgb.SetPixel(x, 3, RGB(red[x], green[x], green[x]));
    }
    auto chunks = Chunks(EncodePng(rgb));
    EXPECT_EQ(chunks["IHDR"], (Bytes{0, 0, 0, 6, 0, 0, 0, 4, 8, 2, 0, 0, 0}));
    EXPECT_EQ(chunks["IDAT"], (Bytes{0x78, 0x01, 0x63, 0x64, 0x48, 0xF9, 0xC5, 0xC5, 0xF0, 0x13,
                                     0x19, 0x31, 0x31, 0x60, 0x00, 0xC6, 0x13, 0x1A, 0x1A, 0x68,
                                     0x42, 0xCC, 0x98, 0xAA, 0x00, 0xD1, 0xCE, 0x07, 0x8D}));
    // With opacities: Sub and Paeth, which look four bytes back now.
    Surface rgba(3, 2, RGB(1, 2, 3));
    rgba.SetPixel(2, 1, RGB(255, 128, 0));
    chunks = Chunks(EncodePng(rgba, Bytes{0, 64, 128, 255, 255, 7}));
    EXPECT_EQ(chunks["IHDR"], (Bytes{0, 0, 0, 3, 0, 0, 0, 2, 8, 6, 0, 0, 0}));
    EXPECT_EQ(chunks["IDAT"], (Bytes{0x78, 0x01, 0x63, 0x64, 0x64, 0x62, 0x66, 0x00, 0x02,
                                     0x07, 0x10, 0x66, 0x01, 0x12, 0xFF, 0x41, 0xBC, 0x7F,
                                     0x75, 0x7F, 0x39, 0x00, 0x19, 0x61, 0x04, 0x0C}));
}

TEST(PngEncode, ALargePictureIsFramedRightAndFlatColourCompressesAHundredfold) {
    Surface noisy(300, 135);
    std::uint32_t v = 1;
    for (int y = 0; y < 135; ++y)
        for (int x = 0; x < 300; ++x)
            noisy.SetPixel(x, y, static_cast<Colour>((v = v * 1664525u + 1013904223u) >> 8));
    std::map<std::string, Bytes> chunks = Chunks(EncodePng(noisy, Bytes(300 * 135, 9)));
    EXPECT_EQ(chunks["IHDR"], (Bytes{0, 0, 1, 44, 0, 0, 0, 135, 8, 6, 0, 0, 0}));
    EXPECT_TRUE(chunks["IEND"].empty());
    // The game's screenshots are mostly flat colour and kept in the
    // repository: long runs must become long matches.
    const Bytes flat = EncodePng(Surface(800, 600, RGB(1, 0, 1)));
    EXPECT_LT(flat.size(), 800u * 600u * 3u / 100u);
    EXPECT_EQ(Chunks(flat)["IHDR"], (Bytes{0, 0, 3, 32, 0, 0, 2, 88, 8, 2, 0, 0, 0}));
    // PNG has no empty picture: refusing is better than writing a broken file.
    EXPECT_THROW(EncodePng(Surface(0, 5)), std::invalid_argument);
    EXPECT_THROW(EncodePng(Surface(3, 3), Bytes(8, 255)), std::invalid_argument);  // one short
}

// ---------------------------------------------------------------- XWD

struct DumpLayout {
    std::uint32_t bitsPerPixel = 32;
    bool msbPixels = false;  // byte order of the pixels
    bool msbHeader = true;   // xwd writes the header most significant byte first
    std::uint32_t masks[3] = {0xFF0000, 0x00FF00, 0x0000FF};
    std::uint32_t colours = 0;  // colour map entries to skip
};

void PutU32(std::string& out, std::uint32_t v, bool msb) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>(v >> (msb ? 24 - 8 * i : 8 * i)));
}

// A true-colour Z-pixmap dump of `pixels`, `width` a row, rows padded to 4
// bytes; by default 5 x 3 pixels of distinct colours, so that a swapped byte
// or a wrong stride shows.
std::string MakeDump(const DumpLayout& l, std::uint32_t width = 5,
                     std::vector<std::uint32_t> pixels = {}) {
    if (pixels.empty())
        for (std::uint32_t i = 0; i < 15; ++i)
            pixels.push_back((10 + i % 5) << 16 | (100 + i / 5) << 8 | (200 + i % 5 + i / 5));
    const std::uint32_t height = static_cast<std::uint32_t>(pixels.size()) / width;
    const std::uint32_t bytes = l.bitsPerPixel / 8, stride = (width * bytes + 3) / 4 * 4;
    const std::uint32_t fields[25] = {
        105,    7,           2,          24,         width,      height,
        0,      l.msbPixels, 32,         0,          32,         l.bitsPerPixel,
        stride, 4,           l.masks[0], l.masks[1], l.masks[2], 8,
        256,    l.colours,   width,      height};
    std::string out;
    for (std::uint32_t f : fields) PutU32(out, f, l.msbHeader);
    out.append("test\0", 5);  // the window's name ends the 105-byte header
    out.append(std::size_t{l.colours} * 12, '\x55');
    for (std::uint32_t y = 0; y < height; ++y) {
        for (std::uint32_t x = 0; x < width; ++x)
            for (std::uint32_t i = 0; i < bytes; ++i)
                out.push_back(static_cast<char>(pixels[y * width + x] >>
                                                (l.msbPixels ? 8 * (bytes - 1 - i) : 8 * i)));
        out.append(stride - width * bytes, '\x7F');  // padding is never read as a pixel
    }
    return out;
}

void ExpectSamples(const Surface& image) {
    ASSERT_EQ(image.Width(), 5);
    ASSERT_EQ(image.Height(), 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            ASSERT_EQ(image.Pixel(x, y), RGB(10 + x, 100 + y, 200 + x + y)) << x << ", " << y;
}

TEST(XwdDecode, EitherByteOrderAndChannelsByTheirMasksScaledToEightBitsAfterTheColourMap) {
    for (std::uint32_t bits : {24u, 32u})  // 5 pixels of 24 bits are 15 bytes, padded to 16
        for (bool msbPixels : {false, true})
            for (bool msbHeader : {true, false}) {
                SCOPED_TRACE(::testing::Message() << bits << " bits, msb pixels " << msbPixels
                                                  << ", msb header " << msbHeader);
                ExpectSamples(DecodeXwd(MakeDump({bits, msbPixels, msbHeader})));
            }
    Surface image = DecodeXwd(
        MakeDump({32, false, true, {0xFF, 0xFF00, 0xFF0000}, 3}, 2, {0x0000FF, 0x010203}));
    EXPECT_EQ(image.Pixel(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(image.Pixel(1, 0), RGB(3, 2, 1));
    // A 15-bit visual in a 32-bit pixel, 16 of 31 in each channel last.
    image = DecodeXwd(MakeDump({32, false, true, {0x7C00, 0x03E0, 0x001F}}, 2, {0x7FFF, 0x4210}));
    EXPECT_EQ(image.Pixel(0, 0), RGB(255, 255, 255));
    EXPECT_EQ(image.Pixel(1, 0), RGB(132, 132, 132));
}

TEST(XwdDecode, RefusesWhatItCannotReadAndEveryCutButOfTheLastRowsPadding) {
    const std::string good = MakeDump({});
    ASSERT_NO_THROW(DecodeXwd(good));
    // Field by field: version, XY-pixmap, 16 bits a pixel, PseudoColor, a header
    // smaller than its fields or beyond the file, a colour map beyond the file,
    // rows shorter than the width, a huge width and no height.
    const std::pair<int, std::uint32_t> bent[] = {
        {1, 6},   {2, 1},           {11, 16}, {13, 3}, {0, 99}, {0, 0xFFFFFFFFu}, {19, 0xFFFFFFFFu},
        {12, 19}, {4, 0x80000000u}, {5, 0}};
    for (const auto& [field, value] : bent) {
        std::string dump = good, bytes;
        PutU32(bytes, value, true);
        EXPECT_THROW(DecodeXwd(dump.replace(static_cast<std::size_t>(field) * 4, 4, bytes)),
                     std::runtime_error)
            << "field " << field;
    }
    // Under the address sanitizer this also shows that no cut makes the
    // decoder read past the bytes it was given.
    const std::string dump = MakeDump({24, false, true, {0xFF0000, 0xFF00, 0xFF}, 2});
    for (std::size_t n = 0; n <= dump.size(); ++n) {
        if (n + 1 >= dump.size())
            ExpectSamples(DecodeXwd(dump.substr(0, n)));
        else
            EXPECT_THROW(DecodeXwd(dump.substr(0, n)), std::runtime_error) << n << " bytes";
    }
}

}  // namespace
}  // namespace vorlax
