// Picture files: PNGs are read back with a strict little reader of the test's
// own (chunk CRCs, zlib framing and Adler-32, the one fixed-Huffman deflate
// block the encoder writes, every row filter) and compared pixel for pixel;
// X window dumps are built here in the layouts xwd writes, and cut or bent
// ones must be refused without reading past their end.
#include "raster/image_files.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace vorlax {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint32_t BigEndian(const Bytes& d, std::size_t at) {
    if (at + 4 > d.size()) throw std::runtime_error("cut short at byte " + std::to_string(at));
    return std::uint32_t{d[at]} << 24 | std::uint32_t{d[at + 1]} << 16 |
           std::uint32_t{d[at + 2]} << 8 | d[at + 3];
}

// Raw deflate of one final fixed-Huffman block; `used` receives the bytes taken.
// The length and distance bases are summed up from their extra bits rather
// than copied from the encoder's tables, so that a slip in those shows.
Bytes Inflate(const Bytes& in, std::size_t& used) {
    std::size_t pos = 0;
    auto bit = [&]() -> std::uint32_t {
        if (pos / 8 >= in.size()) throw std::runtime_error("deflate stream runs past its end");
        return (in[pos / 8] >> (pos++ % 8)) & 1u;
    };
    auto bits = [&](int n) {  // numbers: least significant bit first
        std::uint32_t v = 0;
        for (int i = 0; i < n; ++i) v |= bit() << i;
        return static_cast<int>(v);
    };
    auto code = [&](int n, int v) {  // Huffman codes: most significant bit first
        while (n-- > 0) v = v << 1 | static_cast<int>(bit());
        return v;
    };
    auto lengthExtra = [](int l) { return l < 8 || l == 28 ? 0 : (l - 4) / 4; };
    auto distanceExtra = [](int d) { return d < 4 ? 0 : d / 2 - 1; };
    if (bits(3) != 3) throw std::runtime_error("not one final fixed-Huffman block");
    Bytes out;
    for (;;) {
        int s = code(7, 0);  // 7 bits: 256..279, 8 bits: 0..143 and 280..287, 9 bits: 144..255
        if (s <= 0x17)
            s += 256;
        else if ((s = code(1, s)) <= 0xBF)
            s -= 0x30;
        else if (s <= 0xC7)
            s += 280 - 0xC0;
        else
            s = code(1, s) - 0x190 + 144;
        if (s < 256) {
            out.push_back(static_cast<std::uint8_t>(s));
            continue;
        }
        if (s == 256) break;
        const int l = s - 257;
        if (l > 28) throw std::runtime_error("invalid length symbol");
        std::size_t length = 3, distance = 1;
        for (int i = 0; i < l; ++i) length += std::size_t{1} << lengthExtra(i);
        length = l == 28 ? 258 : length + static_cast<std::size_t>(bits(lengthExtra(l)));
        const int dc = code(5, 0);
        if (dc > 29) throw std::runtime_error("invalid distance symbol");
        for (int i = 0; i < dc; ++i) distance += std::size_t{1} << distanceExtra(i);
        distance += static_cast<std::size_t>(bits(distanceExtra(dc)));
        if (distance > out.size()) throw std::runtime_error("distance reaches before the start");
        for (std::size_t i = 0; i < length; ++i) out.push_back(out[out.size() - distance]);
    }
    used = (pos + 7) / 8;
    return out;
}

// Reads an 8-bit RGB or RGBA PNG of the chunks IHDR, IDAT, IEND strictly,
// adding the row filters it used to `filters` and the opacities to `alpha`
// (which must be given for RGBA); throws saying what is wrong.
Surface ReadPng(const Bytes& png, std::set<int>& filters, Bytes* alpha = nullptr) {
    if (png.size() < 8 ||
        Bytes(png.begin(), png.begin() + 8) != Bytes{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'})
        throw std::runtime_error("bad signature");
    Bytes body[3];
    std::size_t at = 8;
    for (const std::string type : {"IHDR", "IDAT", "IEND"}) {
        const std::size_t length = BigEndian(png, at);
        if (at + 12 + length > png.size()) throw std::runtime_error(type + " cut short");
        const auto data = png.begin() + static_cast<std::ptrdiff_t>(at + 8);
        if (std::string(data - 4, data) != type) throw std::runtime_error("no " + type);
        std::uint32_t crc = 0xFFFFFFFFu;  // bit by bit, unlike the encoder's table
        for (auto p = data - 4; p != data + static_cast<std::ptrdiff_t>(length); ++p) {
            crc ^= *p;
            for (int i = 0; i < 8; ++i) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
        if (BigEndian(png, at + 8 + length) != ~crc) throw std::runtime_error("bad CRC");
        body[type == "IHDR"   ? 0
             : type == "IDAT" ? 1
                              : 2]
            .assign(data, data + static_cast<std::ptrdiff_t>(length));
        at += 12 + length;
    }
    if (at != png.size() || !body[2].empty()) throw std::runtime_error("IEND not empty and last");
    const Bytes &ihdr = body[0], &z = body[1];
    const std::size_t bpp = alpha != nullptr ? 4 : 3;
    if (ihdr.size() != 13 || Bytes(ihdr.begin() + 8, ihdr.end()) !=
                                 Bytes{8, static_cast<std::uint8_t>(bpp == 4 ? 6 : 2), 0, 0, 0})
        throw std::runtime_error("not 8-bit RGB(A), deflate, adaptive filters, no interlace");
    const std::size_t width = BigEndian(ihdr, 0), height = BigEndian(ihdr, 4);
    if (z.size() < 6 || (z[0] & 0x0F) != 8 || (z[0] >> 4) > 7 || (z[0] * 256 + z[1]) % 31 != 0 ||
        (z[1] & 0x20) != 0)
        throw std::runtime_error("zlib: bad header");
    std::size_t used = 0;
    const Bytes raw = Inflate({z.begin() + 2, z.end()}, used);
    std::uint64_t s1 = 1, s2 = 0;  // Adler-32 from plain sums, taken modulo at the end
    for (std::uint8_t v : raw) s2 += s1 += v;
    if (2 + used + 4 != z.size() || BigEndian(z, 2 + used) != ((s2 % 65521) << 16 | (s1 % 65521)))
        throw std::runtime_error("zlib: bad Adler-32 or bytes after it");

    const std::size_t stride = width * bpp;
    if (raw.size() != (stride + 1) * height) throw std::runtime_error("wrong scanline bytes");
    Surface image(static_cast<int>(width), static_cast<int>(height));
    Bytes prior(stride, 0), row(stride);
    for (std::size_t y = 0; y < height; ++y) {
        const std::uint8_t* line = raw.data() + y * (stride + 1);
        const int filter = line[0];
        if (filter > 4) throw std::runtime_error("unknown filter " + std::to_string(filter));
        filters.insert(filter);
        for (std::size_t i = 0; i < stride; ++i) {
            const int a = i >= bpp ? row[i - bpp] : 0, b = prior[i],
                      c = i >= bpp ? prior[i - bpp] : 0;
            const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b);
            const int paeth = pa <= pb && pa <= std::abs(p - c) ? a : pb <= std::abs(p - c) ? b : c;
            row[i] = static_cast<std::uint8_t>(line[1 + i] +
                                               std::array{0, a, b, (a + b) / 2, paeth}[filter]);
        }
        for (std::size_t x = 0; x < width; ++x) {
            image.SetPixel(static_cast<int>(x), static_cast<int>(y),
                           RGB(row[bpp * x], row[bpp * x + 1], row[bpp * x + 2]));
            if (alpha != nullptr) alpha->push_back(row[bpp * x + 3]);
        }
        prior = row;
    }
    return image;
}

Colour NextNoise(std::uint32_t& v) {
    v = v * 1664525u + 1013904223u;
    return static_cast<Colour>(v >> 8);
}

// A sprite-like picture of odd width: flat colour, a smooth ramp (what the
// Average and Paeth filters are for) and stripes; then rows of noise, 901
// bytes each with the filter byte, that repeat first from beyond the 32 KiB
// window (37 rows back: 33337 bytes), then from just inside it (36 rows back:
// 32436 bytes); then flat white, whose last longest match is cut by the end.
Surface Picture() {
    std::vector<int> key(110);
    for (int y = 0; y < 110; ++y) key[y] = y < 37 ? y : y < 74 ? key[y - 37] : key[y - 36];
    Surface s(300, 135, RGB(255, 255, 255));
    for (int y = 0; y < 15; ++y)
        for (int x = 0; x < 37; ++x)
            s.SetPixel(x, y,
                       y % 11 == 5 ? RGB(255, 255, 0) : RGB(x * 3 + y, x + y * 5, (x * y) / 4));
    for (int y = 0; y < 110; ++y) {
        std::uint32_t v = static_cast<std::uint32_t>(key[y]) + 1;
        for (int x = 0; x < s.Width(); ++x) s.SetPixel(x, y + 15, NextNoise(v));
    }
    return s;
}

TEST(PngEncode, PicturesAndOpacitiesReadBackExactlyThroughEveryRowFilter) {
    const Surface image = Picture();
    Bytes opacity;
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x)
            opacity.push_back(static_cast<std::uint8_t>(x < 5 ? 0 : (x * 7 + y * 3) % 256));
    std::set<int> filters, alphaFilters;
    Bytes alpha;
    try {
        EXPECT_TRUE(ReadPng(EncodePng(image), filters) == image);
        EXPECT_TRUE(ReadPng(EncodePng(Surface(1, 1, RGB(1, 2, 3))), filters) ==
                    Surface(1, 1, RGB(1, 2, 3)));
        EXPECT_TRUE(ReadPng(EncodePng(image, opacity), alphaFilters, &alpha) == image);
    } catch (const std::exception& e) {
        FAIL() << e.what();
    }
    EXPECT_EQ(alpha, opacity);
    EXPECT_EQ(filters, (std::set<int>{0, 1, 2, 3, 4})) << "each filter the encoder has, undone";
    // The filters that look at the pixel to the left (four bytes back now) were used.
    EXPECT_TRUE(alphaFilters.count(1) && alphaFilters.count(3) && alphaFilters.count(4));
}

TEST(PngEncode, FlatColourCompressesAHundredfoldAndBadInputIsRefused) {
    // The game's screenshots are mostly flat colour and kept in the
    // repository: long runs must become long matches.
    EXPECT_LT(EncodePng(Surface(800, 600, RGB(1, 0, 1))).size(), 800u * 600u * 3u / 100u);
    // PNG has no empty picture: refusing is better than writing a broken file.
    EXPECT_THROW(EncodePng(Surface(0, 5)), std::invalid_argument);
    EXPECT_THROW(EncodePng(Surface(3, 3), Bytes(8, 255)),
                 std::invalid_argument);  // one opacity short
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

TEST(XwdDecode, TwentyFourAndThirtyTwoBitsInEitherByteOrder) {
    for (std::uint32_t bits : {24u, 32u})  // 5 pixels of 24 bits are 15 bytes, padded to 16
        for (bool msbPixels : {false, true})
            for (bool msbHeader : {true, false}) {
                SCOPED_TRACE(std::to_string(bits) + " bits, pixels msb " +
                             std::to_string(msbPixels) + ", header msb " +
                             std::to_string(msbHeader));
                ExpectSamples(DecodeXwd(MakeDump({bits, msbPixels, msbHeader})));
            }
}

TEST(XwdDecode, ChannelsFollowTheMasksScaledToEightBitsAfterTheColourMap) {
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
    const std::pair<int, std::uint32_t> bent[] = {
        {1, 6},             // file version
        {2, 1},             // XY-pixmap
        {11, 16},           // 16 bits per pixel
        {13, 3},            // PseudoColor: pixels are colour-map indexes
        {0, 99},            // header smaller than its fields
        {0, 0xFFFFFFFFu},   // header beyond the file
        {19, 0xFFFFFFFFu},  // colour map beyond the file
        {12, 19},           // rows shorter than the width
        {4, 0x80000000u},   // huge width
        {5, 0},             // no height
    };
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
