// Picture files: PNGs are read back with a small inflater and PNG reader of
// the test's own (signature, chunk CRCs, header fields, zlib framing and
// Adler-32, every row filter) and compared pixel for pixel; X window dumps are
// built here in the layouts xwd writes, and cut or bent ones must be refused.
#include "graphics/image_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace vorlax {
namespace {

// ---------------------------------------------------------------- PNG reader

// The PNG and zlib CRC and checksum, worked out differently from the encoder,
// so that a slip in either shows.
std::uint32_t SlowCrc32(const std::uint8_t* p, std::size_t n) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < n; ++i) {
        crc ^= p[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// Plain sums, taken modulo 65521 only at the end: 64 bits hold them for the
// few megabytes of any picture here.
std::uint32_t SlowAdler32(const std::vector<std::uint8_t>& data) {
    std::uint64_t a = 1, b = 0;
    for (std::uint8_t v : data) b += a += v;
    return static_cast<std::uint32_t>((b % 65521) << 16 | (a % 65521));
}

std::uint32_t BigEndian(const std::vector<std::uint8_t>& d, std::size_t at) {
    if (at + 4 > d.size()) throw std::runtime_error("cut short at byte " + std::to_string(at));
    return std::uint32_t{d[at]} << 24 | std::uint32_t{d[at + 1]} << 16 |
           std::uint32_t{d[at + 2]} << 8 | d[at + 3];
}

class BitReader {
  public:
    explicit BitReader(const std::vector<std::uint8_t>& d) : d_(d) {}
    std::uint32_t Bits(int count) {  // least significant bit first
        std::uint32_t v = 0;
        for (int i = 0; i < count; ++i) v |= Bit() << i;
        return v;
    }
    std::uint32_t Bit() {
        if (pos_ / 8 >= d_.size()) throw std::runtime_error("deflate stream runs past its end");
        const std::uint32_t b = (d_[pos_ / 8] >> (pos_ % 8)) & 1u;
        ++pos_;
        return b;
    }
    void ToByte() { pos_ = (pos_ + 7) / 8 * 8; }
    // Whole bytes taken so far, the partly used last one included.
    std::size_t BytesUsed() const { return (pos_ + 7) / 8; }

  private:
    const std::vector<std::uint8_t>& d_;
    std::size_t pos_ = 0;
};

// A fixed-code literal/length symbol, its code read most significant bit first.
int FixedSymbol(BitReader& in) {
    std::uint32_t code = 0;
    for (int i = 0; i < 7; ++i) code = code << 1 | in.Bit();
    if (code <= 0x17) return 256 + static_cast<int>(code);
    code = code << 1 | in.Bit();
    if (code >= 0x30 && code <= 0xBF) return static_cast<int>(code - 0x30);
    if (code >= 0xC0 && code <= 0xC7) return 280 + static_cast<int>(code - 0xC0);
    code = code << 1 | in.Bit();
    return 144 + static_cast<int>(code - 0x190);
}

// Raw deflate with stored and fixed-code blocks, the only kinds the encoder
// writes; `used` receives how many bytes the stream took.
std::vector<std::uint8_t> Inflate(const std::vector<std::uint8_t>& data, std::size_t& used) {
    static constexpr std::array<int, 29> kLengthBase = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                                        15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                                        67, 83, 99, 115, 131, 163, 195, 227, 258};
    static constexpr std::array<int, 29> kLengthExtra = {
        0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
    static constexpr std::array<int, 30> kDistBase = {
        1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
        193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
    static constexpr std::array<int, 30> kDistExtra = {0, 0, 0,  0,  1,  1,  2,  2,  3,  3,
                                                       4, 4, 5,  5,  6,  6,  7,  7,  8,  8,
                                                       9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
    BitReader in(data);
    std::vector<std::uint8_t> out;
    bool last = false;
    while (!last) {
        last = in.Bit() != 0;
        const std::uint32_t type = in.Bits(2);
        if (type == 0) {
            in.ToByte();
            const std::uint32_t len = in.Bits(16), nlen = in.Bits(16);
            if ((len ^ 0xFFFFu) != nlen) throw std::runtime_error("stored block: bad NLEN");
            for (std::uint32_t i = 0; i < len; ++i)
                out.push_back(static_cast<std::uint8_t>(in.Bits(8)));
            continue;
        }
        if (type != 1)
            throw std::runtime_error("block type " + std::to_string(type) + " unexpected");
        for (;;) {
            const int s = FixedSymbol(in);
            if (s < 256) {
                out.push_back(static_cast<std::uint8_t>(s));
                continue;
            }
            if (s == 256) break;
            if (s > 285) throw std::runtime_error("invalid length symbol");
            const int length =
                kLengthBase[s - 257] + static_cast<int>(in.Bits(kLengthExtra[s - 257]));
            std::uint32_t dcode = 0;
            for (int i = 0; i < 5; ++i) dcode = dcode << 1 | in.Bit();
            if (dcode > 29) throw std::runtime_error("invalid distance symbol");
            const std::size_t distance =
                static_cast<std::size_t>(kDistBase[dcode]) + in.Bits(kDistExtra[dcode]);
            if (distance > out.size())
                throw std::runtime_error("distance reaches before the start");
            for (int i = 0; i < length; ++i) out.push_back(out[out.size() - distance]);
        }
    }
    used = in.BytesUsed();
    return out;
}

struct DecodedPng {
    Surface image;
    std::set<int> filters;  // the row filters the file used
};

int PaethPredictor(int a, int b, int c) {
    const int p = a + b - c;
    const int pa = p > a ? p - a : a - p, pb = p > b ? p - b : b - p, pc = p > c ? p - c : c - p;
    if (pa <= pb && pa <= pc) return a;
    return pb <= pc ? b : c;
}

// Reads an 8-bit RGB PNG strictly; throws saying what is wrong.
DecodedPng ReadPng(const std::vector<std::uint8_t>& png) {
    const std::vector<std::uint8_t> signature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (png.size() < 8 || !std::equal(signature.begin(), signature.end(), png.begin()))
        throw std::runtime_error("bad signature");
    std::vector<std::string> types;
    std::vector<std::uint8_t> ihdr, idat;
    std::size_t at = 8;
    while (at < png.size()) {
        const std::uint32_t length = BigEndian(png, at);
        if (length > png.size() || at + 12 + length > png.size())
            throw std::runtime_error("chunk runs past the end");
        const std::string type(png.begin() + static_cast<std::ptrdiff_t>(at + 4),
                               png.begin() + static_cast<std::ptrdiff_t>(at + 8));
        const std::uint32_t crc = BigEndian(png, at + 8 + length);
        if (crc != SlowCrc32(png.data() + at + 4, length + 4))
            throw std::runtime_error("bad CRC in chunk " + type);
        const auto data = png.begin() + static_cast<std::ptrdiff_t>(at + 8);
        if (type == "IHDR") ihdr.assign(data, data + length);
        if (type == "IDAT") idat.insert(idat.end(), data, data + length);
        if (type == "IEND" && length != 0) throw std::runtime_error("IEND with data");
        types.push_back(type);
        at += 12 + length;
    }
    if (types.size() < 3 || types.front() != "IHDR" || types.back() != "IEND")
        throw std::runtime_error("chunks not IHDR ... IEND");
    for (std::size_t i = 1; i + 1 < types.size(); ++i)
        if (types[i] != "IDAT") throw std::runtime_error("unexpected chunk " + types[i]);
    if (ihdr.size() != 13) throw std::runtime_error("IHDR is not 13 bytes");
    const std::uint32_t width = BigEndian(ihdr, 0), height = BigEndian(ihdr, 4);
    if (width == 0 || height == 0 || width > 100000 || height > 100000)
        throw std::runtime_error("bad size in IHDR");
    if (ihdr[8] != 8 || ihdr[9] != 2 || ihdr[10] != 0 || ihdr[11] != 0 || ihdr[12] != 0)
        throw std::runtime_error("not 8-bit RGB, deflate, adaptive filters, no interlace");

    if (idat.size() < 6) throw std::runtime_error("IDAT too short for zlib");
    const unsigned cmf = idat[0], flg = idat[1];
    if ((cmf & 0x0F) != 8 || (cmf >> 4) > 7) throw std::runtime_error("zlib: not deflate");
    if ((cmf * 256 + flg) % 31 != 0) throw std::runtime_error("zlib: header check fails");
    if ((flg & 0x20) != 0) throw std::runtime_error("zlib: preset dictionary");
    const std::vector<std::uint8_t> stream(idat.begin() + 2, idat.end());
    std::size_t used = 0;
    const std::vector<std::uint8_t> raw = Inflate(stream, used);
    if (used + 4 != stream.size()) throw std::runtime_error("zlib: bytes after the checksum");
    if (BigEndian(stream, used) != SlowAdler32(raw)) throw std::runtime_error("zlib: bad Adler-32");

    const std::size_t stride = std::size_t{width} * 3;
    if (raw.size() != (stride + 1) * height)
        throw std::runtime_error("scanlines: " + std::to_string(raw.size()) + " bytes");
    DecodedPng out;
    out.image = Surface(static_cast<int>(width), static_cast<int>(height));
    std::vector<std::uint8_t> prior(stride, 0), row(stride);
    for (std::uint32_t y = 0; y < height; ++y) {
        const std::uint8_t* line = raw.data() + y * (stride + 1);
        const int filter = line[0];
        if (filter > 4) throw std::runtime_error("unknown filter " + std::to_string(filter));
        out.filters.insert(filter);
        for (std::size_t i = 0; i < stride; ++i) {
            const int a = i >= 3 ? row[i - 3] : 0, b = prior[i], c = i >= 3 ? prior[i - 3] : 0;
            const int predicted = filter == 1   ? a
                                  : filter == 2 ? b
                                  : filter == 3 ? (a + b) / 2
                                  : filter == 4 ? PaethPredictor(a, b, c)
                                                : 0;
            row[i] = static_cast<std::uint8_t>(line[1 + i] + predicted);
        }
        for (std::uint32_t x = 0; x < width; ++x)
            out.image.SetPixel(static_cast<int>(x), static_cast<int>(y),
                               RGB(row[3 * x], row[3 * x + 1], row[3 * x + 2]));
        prior = row;
    }
    return out;
}

// ---------------------------------------------------------------- PNG pictures

Surface Flat(int w, int h, Colour c) {
    return Surface(w, h, c);
}

Surface Noise(int w, int h, std::uint32_t seed) {
    Surface s(w, h);
    std::uint32_t v = seed * 2654435761u + 1;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            v = v * 1664525u + 1013904223u;
            s.SetPixel(x, y, static_cast<Colour>(v >> 8));
        }
    return s;
}

// Smooth ramps in both directions, the kind of picture the Average and Paeth
// filters are made for.
Surface Ramps(int w, int h) {
    Surface s(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) s.SetPixel(x, y, RGB(x * 3 + y, x + y * 5, (x * y) / 4));
    return s;
}

// A sprite-like picture: a flat background with noisy blocks and stripes.
Surface Mixed(int w, int h) {
    Surface s(w, h, RGB(1, 0, 1));
    const Surface noise = Noise(w, h, 7);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if ((x / 8 + y / 8) % 3 == 0) s.SetPixel(x, y, noise.Pixel(x, y));
            if (y % 11 == 5) s.SetPixel(x, y, RGB(255, 255, 0));
        }
    return s;
}

// Noise rows repeating every `period` rows, so equal bytes lie a fixed
// distance apart: just inside the deflate window or just beyond it.
Surface RepeatingRows(int w, int h, int period) {
    const Surface rows = Noise(w, period, 3);
    Surface s(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) s.SetPixel(x, y, rows.Pixel(x, y % period));
    return s;
}

void ExpectRoundTrip(const Surface& image, const std::string& what) {
    SCOPED_TRACE(what + " " + std::to_string(image.Width()) + "x" + std::to_string(image.Height()));
    DecodedPng decoded;
    try {
        decoded = ReadPng(EncodePng(image));
    } catch (const std::exception& e) {
        FAIL() << e.what();
    }
    ASSERT_EQ(decoded.image.Width(), image.Width());
    ASSERT_EQ(decoded.image.Height(), image.Height());
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x)
            ASSERT_EQ(decoded.image.Pixel(x, y), image.Pixel(x, y)) << "at " << x << ", " << y;
}

TEST(PngEncode, EveryWidthReadsBackPixelForPixel) {
    for (int w : {1, 2, 3, 31, 300}) {
        for (int h : {1, 2, 17}) {
            ExpectRoundTrip(Flat(w, h, RGB(200, 100, 50)), "flat");
            ExpectRoundTrip(Noise(w, h, static_cast<std::uint32_t>(w * 100 + h)), "noise");
            ExpectRoundTrip(Ramps(w, h), "ramps");
            ExpectRoundTrip(Mixed(w, h), "mixed");
        }
    }
}

TEST(PngEncode, MatchesAtTheEdgeOfTheWindowAndLongRuns) {
    // 300 pixels a row are 901 bytes with the filter byte: equal rows 36 rows
    // apart lie 32436 bytes apart, 37 rows apart 33337, beyond the window.
    ExpectRoundTrip(RepeatingRows(300, 110, 36), "period 36");
    ExpectRoundTrip(RepeatingRows(300, 110, 37), "period 37");
    // A picture larger than the window, all one colour: nothing but the
    // longest matches, the last one cut by the end of the data.
    ExpectRoundTrip(Flat(400, 120, RGB(255, 255, 255)), "white");
    ExpectRoundTrip(Flat(257, 3, 0), "black");
}

TEST(PngEncode, UsesEveryRowFilterAndEachReadsBack) {
    // The row filters only matter if the reader undoes each of them: check
    // that the pictures above make the encoder choose every one.
    std::set<int> used;
    for (const Surface& s : {Noise(31, 9, 1), Ramps(31, 31), Ramps(300, 40), Mixed(300, 40),
                             Flat(31, 4, RGB(9, 9, 9))})
        for (int f : ReadPng(EncodePng(s)).filters) used.insert(f);
    EXPECT_EQ(used, (std::set<int>{0, 1, 2, 3, 4}));
}

TEST(PngEncode, FlatColourCompressesAHundredfold) {
    // Long runs must become long matches: the game's screenshots are mostly
    // flat colour, and their PNGs are kept in the repository.
    // 1.44 MB of pixels must come down to less than one byte in a hundred.
    EXPECT_LT(EncodePng(Flat(800, 600, RGB(1, 0, 1))).size(), 800u * 600u * 3u / 100u);
    // Noise cannot be compressed, but costs no more than about 9 bits a byte.
    const std::size_t noisy = EncodePng(Noise(100, 100, 5)).size();
    EXPECT_LT(noisy, 100u * 100u * 3u * 9u / 8u + 500u);
}

TEST(PngEncode, OnePixelAndEmptyPictures) {
    ExpectRoundTrip(Flat(1, 1, RGB(1, 2, 3)), "one pixel");
    const std::vector<std::uint8_t> png = EncodePng(Flat(1, 1, RGB(1, 2, 3)));
    ASSERT_GE(png.size(), 8u + 25u);
    EXPECT_EQ(BigEndian(png, 16), 1u) << "width";
    EXPECT_EQ(BigEndian(png, 20), 1u) << "height";
    // PNG has no empty picture: refusing is better than writing a broken file.
    EXPECT_THROW(EncodePng(Surface()), std::invalid_argument);
    EXPECT_THROW(EncodePng(Surface(0, 5)), std::invalid_argument);
    EXPECT_THROW(EncodePng(Surface(5, 0)), std::invalid_argument);
}

// The first line of what ReadPng says about `png`; empty when it reads it.
std::string ReadError(const std::vector<std::uint8_t>& png) {
    try {
        ReadPng(png);
    } catch (const std::exception& e) {
        return e.what();
    }
    return "";
}

// Sets the CRC of the chunk starting at `at` to fit its (changed) contents.
void FixCrc(std::vector<std::uint8_t>& png, std::size_t at) {
    const std::uint32_t length = BigEndian(png, at);
    const std::uint32_t crc = SlowCrc32(png.data() + at + 4, length + 4);
    for (int i = 0; i < 4; ++i)
        png[at + 8 + length + static_cast<std::size_t>(i)] =
            static_cast<std::uint8_t>(crc >> (24 - 8 * i));
}

TEST(PngReader, CatchesDamageItself) {
    // The reader above must be able to fail, or the round trips prove nothing.
    const std::vector<std::uint8_t> good = EncodePng(Mixed(31, 9));
    ASSERT_EQ(ReadError(good), "");
    const std::size_t idat = 8 + 12 + 13;  // after the signature and IHDR
    ASSERT_EQ(BigEndian(good, idat + 4), 0x49444154u) << "IDAT";

    std::vector<std::uint8_t> bad = good;
    bad[8 + 8 + 3] ^= 1;  // the width in IHDR, without fixing the CRC
    EXPECT_EQ(ReadError(bad), "bad CRC in chunk IHDR");

    bad = good;
    bad[bad.size() - 12 - 5] ^= 0x10;  // inside the Adler-32 that ends IDAT
    FixCrc(bad, idat);
    EXPECT_EQ(ReadError(bad), "zlib: bad Adler-32");

    bad = good;
    bad[idat + 8 + 20] ^= 0x04;  // a bit in the deflate data
    FixCrc(bad, idat);
    EXPECT_NE(ReadError(bad), "");

    bad = good;
    bad.resize(bad.size() - 12);  // no IEND
    EXPECT_EQ(ReadError(bad), "chunks not IHDR ... IEND");
}

// ---------------------------------------------------------------- XWD

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

void ExpectSamples(const Surface& image, int width, int height) {
    ASSERT_EQ(image.Width(), width);
    ASSERT_EQ(image.Height(), height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            ASSERT_EQ(image.Pixel(x, y), RGB(10 + x, 100 + y, 200 + x + y))
                << "at " << x << ", " << y;
}

// The field at `index` of a dump with a most-significant-first header set to `v`.
std::string WithField(std::string dump, int index, std::uint32_t v) {
    std::string field;
    PutU32(field, v, true);
    dump.replace(static_cast<std::size_t>(index) * 4, 4, field);
    return dump;
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

TEST(XwdDecode, ReadsBytesFromAVectorToo) {
    const std::string dump = MakeDump(DumpLayout{}, 4, 2, Sample);
    const std::vector<std::uint8_t> bytes(dump.begin(), dump.end());
    ExpectSamples(DecodeXwd(bytes), 4, 2);
}

TEST(XwdDecode, ChannelsFollowTheMasksAndTheColourMapIsSkipped) {
    DumpLayout l;
    l.redMask = 0x0000FF;
    l.blueMask = 0xFF0000;
    l.colours = 3;
    const Surface image = DecodeXwd(MakeDump(
        l, 2, 1, [](std::uint32_t x, std::uint32_t) { return x == 0 ? 0x0000FFu : 0x010203u; }));
    EXPECT_EQ(image.Pixel(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(image.Pixel(1, 0), RGB(3, 2, 1));
}

TEST(XwdDecode, ASwappedHeaderIsReadToo) {
    DumpLayout l;
    l.msbHeader = false;
    ExpectSamples(DecodeXwd(MakeDump(l, 3, 2, Sample)), 3, 2);
}

TEST(XwdDecode, NarrowAndWideMasksAreScaledToEightBits) {
    DumpLayout l;  // a 15-bit visual in a 32-bit pixel: 5 bits per channel
    l.redMask = 0x7C00;
    l.greenMask = 0x03E0;
    l.blueMask = 0x001F;
    const Surface image = DecodeXwd(MakeDump(l, 3, 1, [](std::uint32_t x, std::uint32_t) {
        return x == 0 ? 0x7FFFu : x == 1 ? 0u : 0x4210u;  // 16 of 31 in each channel
    }));
    EXPECT_EQ(image.Pixel(0, 0), RGB(255, 255, 255));
    EXPECT_EQ(image.Pixel(1, 0), RGB(0, 0, 0));
    EXPECT_EQ(image.Pixel(2, 0), RGB(132, 132, 132));
    // A 10-bit channel: the full value is white, half of it mid grey.
    l.redMask = 0x3FF00000;
    l.greenMask = 0x000FFC00;
    l.blueMask = 0x000003FF;
    const Surface deep = DecodeXwd(MakeDump(l, 2, 1, [](std::uint32_t x, std::uint32_t) {
        return x == 0 ? 0x3FFFFFFFu : (512u << 20 | 512u << 10 | 512u);
    }));
    EXPECT_EQ(deep.Pixel(0, 0), RGB(255, 255, 255));
    EXPECT_EQ(deep.Pixel(1, 0), RGB(128, 128, 128));
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

TEST(XwdDecode, HeaderFieldsThatPointOutsideTheFileAreRefused) {
    const std::string good = MakeDump(DumpLayout{}, 4, 4, Sample);
    ASSERT_NO_THROW(DecodeXwd(good));
    const auto refused = [](const std::string& dump) {
        try {
            DecodeXwd(dump);
        } catch (const std::runtime_error& e) {
            return std::string(e.what()).rfind("XWD: ", 0) == 0;  // says what it is about
        }
        return false;
    };
    EXPECT_TRUE(refused(WithField(good, 0, 99))) << "header smaller than its fields";
    EXPECT_TRUE(refused(WithField(good, 0, 0xFFFFFFFFu))) << "header size beyond the file";
    EXPECT_TRUE(refused(WithField(good, 19, 0xFFFFFFFFu))) << "colour map beyond the file";
    EXPECT_TRUE(refused(WithField(good, 12, 15))) << "rows shorter than the width";
    EXPECT_TRUE(refused(WithField(good, 12, 0xFFFFFFFFu))) << "rows longer than the file";
    EXPECT_TRUE(refused(WithField(good, 4, 0))) << "no width";
    EXPECT_TRUE(refused(WithField(good, 5, 0))) << "no height";
    EXPECT_TRUE(refused(WithField(good, 4, 0x80000000u))) << "huge width";
    EXPECT_TRUE(refused(WithField(good, 5, 40000))) << "huge height";
}

TEST(XwdDecode, EveryCutOfADumpIsRefusedOrComplete) {
    // Run under the address sanitizer, this shows that no cut makes the
    // decoder read past the bytes it was given.
    DumpLayout l;
    l.bitsPerPixel = 24;
    l.colours = 2;
    const std::string dump = MakeDump(l, 5, 3, Sample);
    for (std::size_t n = 0; n < dump.size(); ++n) {
        const std::string cut = dump.substr(0, n);
        try {
            ExpectSamples(DecodeXwd(std::string_view(cut)), 5, 3);
            EXPECT_EQ(n, dump.size() - 1) << "only the last row's padding may be missing";
        } catch (const std::runtime_error&) {
        }
    }
}

TEST(XwdDecode, ALastRowWithoutItsPaddingIsAccepted) {
    DumpLayout l;
    l.bitsPerPixel = 24;
    std::string dump = MakeDump(l, 5, 2, Sample);
    dump.pop_back();  // 15 pixel bytes in a 16-byte row
    ExpectSamples(DecodeXwd(dump), 5, 2);
}

}  // namespace
}  // namespace vorlax
