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

// ---------------------------------------------------------------- PNG reader

std::uint32_t BigEndian(const std::vector<std::uint8_t>& d, std::size_t at) {
    if (at + 4 > d.size()) throw std::runtime_error("cut short at byte " + std::to_string(at));
    return std::uint32_t{d[at]} << 24 | std::uint32_t{d[at + 1]} << 16 |
           std::uint32_t{d[at + 2]} << 8 | d[at + 3];
}

// Raw deflate of one final fixed-Huffman block; `used` receives the bytes taken.
// The length and distance bases are summed up from their extra bits rather
// than copied from the encoder's tables, so that a slip in those shows.
std::vector<std::uint8_t> Inflate(const std::vector<std::uint8_t>& in, std::size_t& used) {
    std::size_t pos = 0;
    auto bit = [&]() -> std::uint32_t {
        if (pos / 8 >= in.size()) throw std::runtime_error("deflate stream runs past its end");
        const std::uint32_t b = (in[pos / 8] >> (pos % 8)) & 1u;
        ++pos;
        return b;
    };
    auto bits = [&](int n) {  // numbers: least significant bit first
        std::uint32_t v = 0;
        for (int i = 0; i < n; ++i) v |= bit() << i;
        return v;
    };
    auto code = [&](int n, std::uint32_t v) {  // Huffman codes: most significant bit first
        while (n-- > 0) v = v << 1 | bit();
        return static_cast<int>(v);
    };
    auto lengthExtra = [](int l) { return l < 8 || l == 28 ? 0 : (l - 4) / 4; };
    auto distanceExtra = [](int d) { return d < 4 ? 0 : d / 2 - 1; };
    if (bits(3) != 3) throw std::runtime_error("not one final fixed-Huffman block");
    std::vector<std::uint8_t> out;
    for (;;) {
        int s = code(7, 0);  // 7 bits: 256..279, 8 bits: 0..143 and 280..287, 9 bits: 144..255
        if (s <= 0x17)
            s += 256;
        else if ((s = code(1, static_cast<std::uint32_t>(s))) <= 0xBF)
            s -= 0x30;
        else if (s <= 0xC7)
            s += 280 - 0xC0;
        else
            s = code(1, static_cast<std::uint32_t>(s)) - 0x190 + 144;
        if (s < 256) {
            out.push_back(static_cast<std::uint8_t>(s));
            continue;
        }
        if (s == 256) break;
        const int l = s - 257;
        if (l > 28) throw std::runtime_error("invalid length symbol");
        std::size_t length = 3, distance = 1;
        for (int i = 0; i < l; ++i) length += std::size_t{1} << lengthExtra(i);
        length = l == 28 ? 258 : length + bits(lengthExtra(l));
        const int d = code(5, 0);
        if (d > 29) throw std::runtime_error("invalid distance symbol");
        for (int i = 0; i < d; ++i) distance += std::size_t{1} << distanceExtra(i);
        distance += bits(distanceExtra(d));
        if (distance > out.size()) throw std::runtime_error("distance reaches before the start");
        for (std::size_t i = 0; i < length; ++i) out.push_back(out[out.size() - distance]);
    }
    used = (pos + 7) / 8;
    return out;
}

// Reads an 8-bit RGB or RGBA PNG of the chunks IHDR, IDAT, IEND strictly,
// adding the row filters it used to `filters` and the opacities to `alpha`
// (which must be given for RGBA); throws saying what is wrong.
Surface ReadPng(const std::vector<std::uint8_t>& png, std::set<int>& filters,
                std::vector<std::uint8_t>* alpha = nullptr) {
    const std::vector<std::uint8_t> signature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (png.size() < 8 || std::vector<std::uint8_t>(png.begin(), png.begin() + 8) != signature)
        throw std::runtime_error("bad signature");
    std::vector<std::uint8_t> body[3];
    const std::string types[3] = {"IHDR", "IDAT", "IEND"};
    std::size_t at = 8;
    for (int k = 0; k < 3; ++k) {
        const std::size_t length = BigEndian(png, at);
        if (at + 12 + length > png.size()) throw std::runtime_error(types[k] + " cut short");
        const auto data = png.begin() + static_cast<std::ptrdiff_t>(at + 8);
        if (std::string(data - 4, data) != types[k]) throw std::runtime_error("no " + types[k]);
        std::uint32_t crc = 0xFFFFFFFFu;  // bit by bit, unlike the encoder's table
        for (auto p = data - 4; p != data + static_cast<std::ptrdiff_t>(length); ++p) {
            crc ^= *p;
            for (int i = 0; i < 8; ++i) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
        if (BigEndian(png, at + 8 + length) != ~crc) throw std::runtime_error("bad CRC");
        body[k].assign(data, data + static_cast<std::ptrdiff_t>(length));
        at += 12 + length;
    }
    if (at != png.size() || !body[2].empty()) throw std::runtime_error("IEND not empty and last");
    const std::vector<std::uint8_t>&ihdr = body[0], &z = body[1];
    const std::uint8_t colourType = alpha != nullptr ? 6 : 2;
    if (ihdr.size() != 13 || std::vector<std::uint8_t>(ihdr.begin() + 8, ihdr.end()) !=
                                 std::vector<std::uint8_t>{8, colourType, 0, 0, 0})
        throw std::runtime_error("not 8-bit RGB(A), deflate, adaptive filters, no interlace");
    const std::size_t width = BigEndian(ihdr, 0), height = BigEndian(ihdr, 4);
    if (z.size() < 6 || (z[0] & 0x0F) != 8 || (z[0] >> 4) > 7 || (z[0] * 256 + z[1]) % 31 != 0 ||
        (z[1] & 0x20) != 0)
        throw std::runtime_error("zlib: bad header");
    std::size_t used = 0;
    const std::vector<std::uint8_t> raw = Inflate({z.begin() + 2, z.end()}, used);
    std::uint64_t s1 = 1, s2 = 0;  // Adler-32 from plain sums, taken modulo at the end
    for (std::uint8_t v : raw) s2 += s1 += v;
    if (2 + used + 4 != z.size() || BigEndian(z, 2 + used) != ((s2 % 65521) << 16 | (s1 % 65521)))
        throw std::runtime_error("zlib: bad Adler-32 or bytes after it");

    const std::size_t bpp = alpha != nullptr ? 4 : 3;
    const std::size_t stride = width * bpp;
    if (raw.size() != (stride + 1) * height) throw std::runtime_error("wrong scanline bytes");
    Surface image(static_cast<int>(width), static_cast<int>(height));
    std::vector<std::uint8_t> prior(stride, 0), row(stride);
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

// ---------------------------------------------------------------- PNG

Colour NextNoise(std::uint32_t& v) {
    v = v * 1664525u + 1013904223u;
    return static_cast<Colour>(v >> 8);
}

// A sprite-like picture of odd width: flat colour, a noisy block, a smooth
// ramp (what the Average and Paeth filters are for) and stripes.
Surface SmallPicture() {
    Surface s(37, 23, RGB(1, 0, 1));
    std::uint32_t v = 7;
    for (int y = 0; y < s.Height(); ++y)
        for (int x = 0; x < s.Width(); ++x) {
            if (y < 12) s.SetPixel(x, y, RGB(x * 3 + y, x + y * 5, (x * y) / 4));
            if (y > 14 && x < 12) s.SetPixel(x, y, NextNoise(v));
            if (y % 11 == 5) s.SetPixel(x, y, RGB(255, 255, 0));
        }
    return s;
}

// Rows of noise, 901 bytes each with the filter byte, that repeat first from
// beyond the 32 KiB window (37 rows back: 33337 bytes), then from just inside
// it (36 rows back: 32436 bytes); then flat white, whose last longest match
// is cut by the end of the data.
Surface LargePicture() {
    std::vector<int> key(110);
    for (int y = 0; y < 110; ++y) key[y] = y < 37 ? y : y < 74 ? key[y - 37] : key[y - 36];
    Surface s(300, 120, RGB(255, 255, 255));
    for (int y = 0; y < 110; ++y) {
        std::uint32_t v = static_cast<std::uint32_t>(key[y]) + 1;
        for (int x = 0; x < s.Width(); ++x) s.SetPixel(x, y, NextNoise(v));
    }
    return s;
}

void ExpectRoundTrip(const Surface& image, std::set<int>& filters) {
    SCOPED_TRACE(std::to_string(image.Width()) + "x" + std::to_string(image.Height()));
    Surface back;
    try {
        back = ReadPng(EncodePng(image), filters);
    } catch (const std::exception& e) {
        FAIL() << e.what();
    }
    ASSERT_EQ(back.Width(), image.Width());
    ASSERT_EQ(back.Height(), image.Height());
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x)
            ASSERT_EQ(back.Pixel(x, y), image.Pixel(x, y)) << "at " << x << ", " << y;
}

TEST(PngEncode, PicturesReadBackPixelForPixelThroughEveryRowFilter) {
    std::set<int> filters;
    ExpectRoundTrip(Surface(1, 1, RGB(1, 2, 3)), filters);
    ExpectRoundTrip(SmallPicture(), filters);
    ExpectRoundTrip(LargePicture(), filters);
    EXPECT_EQ(filters, (std::set<int>{0, 1, 2, 3, 4})) << "each filter the encoder has, undone";
}

TEST(PngEncode, WithAlphaEveryPixelKeepsItsOpacity) {
    std::set<int> filters;
    for (const Surface& image : {SmallPicture(), LargePicture()}) {
        std::vector<std::uint8_t> alpha;
        for (int y = 0; y < image.Height(); ++y)
            for (int x = 0; x < image.Width(); ++x)
                alpha.push_back(static_cast<std::uint8_t>(x < 5 ? 0 : (x * 7 + y * 3) % 256));
        std::vector<std::uint8_t> back;
        Surface pixels;
        try {
            pixels = ReadPng(EncodePng(image, alpha), filters, &back);
        } catch (const std::exception& e) {
            FAIL() << e.what();
        }
        EXPECT_TRUE(pixels == image);
        EXPECT_EQ(back, alpha);
    }
    // The filters that look at the pixel to the left (four bytes back now) were used.
    EXPECT_TRUE(filters.count(1) && filters.count(3) && filters.count(4));
    // One opacity per pixel, no more, no fewer.
    const std::vector<std::uint8_t> short_(3 * 3 - 1, 255);
    EXPECT_THROW(EncodePng(Surface(3, 3), short_), std::invalid_argument);
}

TEST(PngEncode, FlatColourCompressesAHundredfoldAndEmptyPicturesAreRefused) {
    // The game's screenshots are mostly flat colour and kept in the
    // repository: long runs must become long matches.
    EXPECT_LT(EncodePng(Surface(800, 600, RGB(1, 0, 1))).size(), 800u * 600u * 3u / 100u);
    // PNG has no empty picture: refusing is better than writing a broken file.
    EXPECT_THROW(EncodePng(Surface(0, 5)), std::invalid_argument);
    EXPECT_THROW(EncodePng(Surface(5, 0)), std::invalid_argument);
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

// A true-colour Z-pixmap dump of `pixels`, `width` a row, rows padded to 4 bytes.
std::string MakeDump(const DumpLayout& l, std::uint32_t width,
                     const std::vector<std::uint32_t>& pixels) {
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

// 5 x 3 pixels of distinct colours, so that a swapped byte or a wrong stride shows.
std::string SampleDump(const DumpLayout& l) {
    std::vector<std::uint32_t> pixels;
    for (std::uint32_t y = 0; y < 3; ++y)
        for (std::uint32_t x = 0; x < 5; ++x)
            pixels.push_back((10 + x) << 16 | (100 + y) << 8 | (200 + x + y));
    return MakeDump(l, 5, pixels);
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
                const std::string dump = SampleDump({bits, msbPixels, msbHeader});
                ExpectSamples(DecodeXwd(dump));
                ExpectSamples(DecodeXwd(std::vector<std::uint8_t>(dump.begin(), dump.end())));
            }
}

TEST(XwdDecode, ChannelsFollowTheMasksScaledToEightBitsAfterTheColourMap) {
    Surface image = DecodeXwd(
        MakeDump({32, false, true, {0xFF, 0xFF00, 0xFF0000}, 3}, 2, {0x0000FF, 0x010203}));
    EXPECT_EQ(image.Pixel(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(image.Pixel(1, 0), RGB(3, 2, 1));
    // A 15-bit visual in a 32-bit pixel, 16 of 31 in each channel last.
    image =
        DecodeXwd(MakeDump({32, false, true, {0x7C00, 0x03E0, 0x001F}}, 3, {0x7FFF, 0, 0x4210}));
    EXPECT_EQ(image.Pixel(0, 0), RGB(255, 255, 255));
    EXPECT_EQ(image.Pixel(1, 0), RGB(0, 0, 0));
    EXPECT_EQ(image.Pixel(2, 0), RGB(132, 132, 132));
    // 10 bits a channel: the full value is white, half of it mid grey.
    image = DecodeXwd(MakeDump({32, false, true, {0x3FF00000, 0x000FFC00, 0x000003FF}}, 2,
                               {0x3FFFFFFF, 512u << 20 | 512u << 10 | 512u}));
    EXPECT_EQ(image.Pixel(0, 0), RGB(255, 255, 255));
    EXPECT_EQ(image.Pixel(1, 0), RGB(128, 128, 128));
}

TEST(XwdDecode, RefusesWhatItCannotReadSayingSo) {
    const std::string good = SampleDump({});
    ASSERT_NO_THROW(DecodeXwd(good));
    const auto refused = [&](int field, std::uint32_t v) {
        std::string dump = good, bytes;
        PutU32(bytes, v, true);
        try {
            DecodeXwd(dump.replace(static_cast<std::size_t>(field) * 4, 4, bytes));
        } catch (const std::runtime_error& e) {
            return std::string(e.what()).rfind("XWD: ", 0) == 0;
        }
        return false;
    };
    EXPECT_TRUE(refused(1, 6)) << "file version";
    EXPECT_TRUE(refused(2, 1)) << "XY-pixmap";
    EXPECT_TRUE(refused(11, 16)) << "16 bits per pixel";
    EXPECT_TRUE(refused(13, 3)) << "PseudoColor: pixels are colour-map indexes";
    EXPECT_TRUE(refused(0, 99)) << "header smaller than its fields";
    EXPECT_TRUE(refused(0, 0xFFFFFFFFu)) << "header size beyond the file";
    EXPECT_TRUE(refused(19, 0xFFFFFFFFu)) << "colour map beyond the file";
    EXPECT_TRUE(refused(12, 19)) << "rows shorter than the width";
    EXPECT_TRUE(refused(12, 0xFFFFFFFFu)) << "rows longer than the file";
    EXPECT_TRUE(refused(4, 0)) << "no width";
    EXPECT_TRUE(refused(5, 0)) << "no height";
    EXPECT_TRUE(refused(4, 0x80000000u)) << "huge width";
    EXPECT_TRUE(refused(5, 40000)) << "huge height";
}

TEST(XwdDecode, EveryCutOfADumpIsRefusedUnlessOnlyTheLastRowsPaddingIsMissing) {
    // Under the address sanitizer this also shows that no cut makes the
    // decoder read past the bytes it was given.
    const std::string dump = SampleDump({24, false, true, {0xFF0000, 0xFF00, 0xFF}, 2});
    for (std::size_t n = 0; n <= dump.size(); ++n) {
        if (n + 1 >= dump.size())
            ExpectSamples(DecodeXwd(dump.substr(0, n)));
        else
            EXPECT_THROW(DecodeXwd(dump.substr(0, n)), std::runtime_error) << n << " bytes";
    }
}

}  // namespace
}  // namespace vorlax
