#include "raster/image_files.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <utility>

namespace vorlax {

// ---------------------------------------------------------------- deflate

namespace {

class BitWriter {
  public:
    void Put(std::uint32_t bits, int count) {  // least significant bit first
        acc_ |= static_cast<std::uint64_t>(bits) << used_;
        used_ += count;
        while (used_ >= 8) {
            out_.push_back(static_cast<std::uint8_t>(acc_));
            acc_ >>= 8;
            used_ -= 8;
        }
    }
    // Huffman codes are defined most significant bit first.
    void PutCode(std::uint32_t code, int length) {
        std::uint32_t reversed = 0;
        for (int i = 0; i < length; ++i) reversed |= ((code >> i) & 1u) << (length - 1 - i);
        Put(reversed, length);
    }
    std::vector<std::uint8_t> Finish() {
        if (used_ > 0) out_.push_back(static_cast<std::uint8_t>(acc_));
        acc_ = 0;
        used_ = 0;
        return std::move(out_);
    }

  private:
    std::vector<std::uint8_t> out_;
    std::uint64_t acc_ = 0;
    int used_ = 0;
};

constexpr std::array<int, 29> kLengthBase = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                             15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                             67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<int, 29> kLengthExtra = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                              2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::array<int, 30> kDistBase = {
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::array<int, 30> kDistExtra = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                            6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

// The fixed literal/length code of symbol `s` (0..287).
void PutSymbol(BitWriter& w, int s) {
    if (s < 144)
        w.PutCode(0x30 + s, 8);
    else if (s < 256)
        w.PutCode(0x190 + (s - 144), 9);
    else if (s < 280)
        w.PutCode(s - 256, 7);
    else
        w.PutCode(0xC0 + (s - 280), 8);
}

void PutMatch(BitWriter& w, int length, int distance) {
    int l = static_cast<int>(kLengthBase.size()) - 1;
    while (kLengthBase[l] > length) --l;
    PutSymbol(w, 257 + l);
    w.Put(static_cast<std::uint32_t>(length - kLengthBase[l]), kLengthExtra[l]);
    int d = static_cast<int>(kDistBase.size()) - 1;
    while (kDistBase[d] > distance) --d;
    w.PutCode(static_cast<std::uint32_t>(d), 5);
    w.Put(static_cast<std::uint32_t>(distance - kDistBase[d]), kDistExtra[d]);
}

// One final block with the fixed codes; greedy LZ77 over a 32 KiB window.
std::vector<std::uint8_t> Deflate(const std::vector<std::uint8_t>& in) {
    constexpr int kWindow = 32768, kMinMatch = 3, kMaxMatch = 258, kChain = 64;
    constexpr int kHashBits = 15;
    std::vector<int> head(1 << kHashBits, -1), prev(kWindow, -1);
    const int n = static_cast<int>(in.size());
    auto hash = [&](int i) {
        return ((in[i] << 10) ^ (in[i + 1] << 5) ^ in[i + 2]) & ((1 << kHashBits) - 1);
    };
    auto insert = [&](int i) {
        if (i + kMinMatch > n) return;
        const int h = hash(i);
        prev[i & (kWindow - 1)] = head[h];
        head[h] = i;
    };

    BitWriter w;
    w.Put(1, 1);  // final block
    w.Put(1, 2);  // fixed Huffman codes
    int i = 0;
    while (i < n) {
        int bestLength = 0, bestDistance = 0;
        if (i + kMinMatch <= n) {
            const int limit = std::min(kMaxMatch, n - i);
            int candidate = head[hash(i)];
            for (int tries = 0; candidate >= 0 && i - candidate <= kWindow - 1 && tries < kChain;
                 ++tries) {
                int length = 0;
                while (length < limit && in[candidate + length] == in[i + length]) ++length;
                if (length > bestLength) {
                    bestLength = length;
                    bestDistance = i - candidate;
                    if (length == limit) break;
                }
                const int next = prev[candidate & (kWindow - 1)];
                if (next >= candidate) break;  // the slot was reused by a later position
                candidate = next;
            }
        }
        if (bestLength >= kMinMatch) {
            PutMatch(w, bestLength, bestDistance);
            for (int k = 0; k < bestLength; ++k) insert(i + k);
            i += bestLength;
        } else {
            PutSymbol(w, in[i]);
            insert(i);
            ++i;
        }
    }
    PutSymbol(w, 256);  // end of block
    return w.Finish();
}

// ---------------------------------------------------------------- PNG

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size) {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1u) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFFu] ^ (crc >> 8);
    return ~crc;
}

std::uint32_t Adler32(const std::vector<std::uint8_t>& data) {
    std::uint32_t a = 1, b = 0;
    for (std::uint8_t byte : data) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

void PutBigEndian(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(v >> shift));
}

void PutChunk(std::vector<std::uint8_t>& out, const char* type,
              const std::vector<std::uint8_t>& data) {
    PutBigEndian(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutBigEndian(out, Crc32(out.data() + start, out.size() - start));
}

std::uint8_t Paeth(int a, int b, int c) {
    const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return static_cast<std::uint8_t>(pa <= pb && pa <= pc ? a : pb <= pc ? b : c);
}

// The picture as PNG scanlines: each row a filter byte and the filtered RGB
// (or, with `alpha`, RGBA) bytes. Each row gets the filter whose output has
// the smallest sum of magnitudes, the usual rule of thumb for what deflate
// compresses best.
std::vector<std::uint8_t> FilteredRows(const Surface& image, const std::uint8_t* alpha) {
    const std::size_t bpp = alpha != nullptr ? 4 : 3;
    const std::size_t stride = static_cast<std::size_t>(image.Width()) * bpp;
    std::vector<std::uint8_t> rgb;
    rgb.reserve(stride * image.Height());
    for (int y = 0; y < image.Height(); ++y) {
        for (int x = 0; x < image.Width(); ++x) {
            const Colour c = image.Pixel(x, y);
            rgb.push_back(static_cast<std::uint8_t>(RedOf(c)));
            rgb.push_back(static_cast<std::uint8_t>(GreenOf(c)));
            rgb.push_back(static_cast<std::uint8_t>(BlueOf(c)));
            if (alpha != nullptr) rgb.push_back(*alpha++);
        }
    }

    std::vector<std::uint8_t> out;
    out.reserve((stride + 1) * image.Height());
    std::vector<std::uint8_t> zero(stride, 0), trial(stride), best;
    for (int y = 0; y < image.Height(); ++y) {
        const std::uint8_t* row = rgb.data() + stride * y;
        const std::uint8_t* up = y > 0 ? row - stride : zero.data();
        int bestFilter = 0;
        long bestCost = -1;
        for (int filter = 0; filter <= 4; ++filter) {
            long cost = 0;
            for (std::size_t i = 0; i < stride; ++i) {
                const int a = i >= bpp ? row[i - bpp] : 0, b = up[i],
                          c = i >= bpp ? up[i - bpp] : 0;
                int predicted = 0;
                switch (filter) {
                    case 1:  // Sub
                        predicted = a;
                        break;
                    case 2:  // Up
                        predicted = b;
                        break;
                    case 3:  // Average
                        predicted = (a + b) / 2;
                        break;
                    case 4:
                        predicted = Paeth(a, b, c);
                        break;
                    default:  // None
                        break;
                }
                trial[i] = static_cast<std::uint8_t>(row[i] - predicted);
                cost += std::abs(static_cast<std::int8_t>(trial[i]));
            }
            if (bestCost < 0 || cost < bestCost) {
                bestCost = cost;
                bestFilter = filter;
                best = trial;
            }
        }
        out.push_back(static_cast<std::uint8_t>(bestFilter));
        out.insert(out.end(), best.begin(), best.end());
    }
    return out;
}

}  // namespace

namespace {

std::vector<std::uint8_t> Encode(const Surface& image, const std::uint8_t* alpha) {
    if (image.Width() <= 0 || image.Height() <= 0)
        throw std::invalid_argument("PNG: an empty picture cannot be written");
    // The deflate coder counts positions in an int.
    const std::uint64_t bpp = alpha != nullptr ? 4 : 3;
    if ((bpp * static_cast<std::uint64_t>(image.Width()) + 1) *
            static_cast<std::uint64_t>(image.Height()) >
        static_cast<std::uint64_t>(INT_MAX))
        throw std::invalid_argument("PNG: picture too large");

    const std::vector<std::uint8_t> raw = FilteredRows(image, alpha);
    std::vector<std::uint8_t> z = {0x78, 0x01};  // deflate, 32 KiB window
    const std::vector<std::uint8_t> body = Deflate(raw);
    z.insert(z.end(), body.begin(), body.end());
    PutBigEndian(z, Adler32(raw));

    std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> ihdr;
    PutBigEndian(ihdr, static_cast<std::uint32_t>(image.Width()));
    PutBigEndian(ihdr, static_cast<std::uint32_t>(image.Height()));
    // 8 bits, RGB (2) or RGBA (6), deflate, adaptive filters, no interlace.
    const std::uint8_t colourType = alpha != nullptr ? 6 : 2;
    ihdr.insert(ihdr.end(), {8, colourType, 0, 0, 0});
    PutChunk(png, "IHDR", ihdr);
    PutChunk(png, "IDAT", z);
    PutChunk(png, "IEND", {});
    return png;
}

}  // namespace

std::vector<std::uint8_t> EncodePng(const Surface& image) {
    return Encode(image, nullptr);
}

std::vector<std::uint8_t> EncodePng(const Surface& image, std::span<const std::uint8_t> alpha) {
    if (alpha.size() !=
        static_cast<std::size_t>(std::max(0, image.Width())) * std::max(0, image.Height()))
        throw std::invalid_argument("PNG: one alpha value per pixel is needed");
    return Encode(image, alpha.data());
}

// ---------------------------------------------------------------- XWD

namespace {

// The header of an X window dump: 25 32-bit fields.
enum XwdField {
    kHeaderSize,
    kFileVersion,
    kPixmapFormat,
    kPixmapDepth,
    kPixmapWidth,
    kPixmapHeight,
    kXOffset,
    kByteOrder,
    kBitmapUnit,
    kBitmapBitOrder,
    kBitmapPad,
    kBitsPerPixel,
    kBytesPerLine,
    kVisualClass,
    kRedMask,
    kGreenMask,
    kBlueMask,
    kBitsPerRgb,
    kColormapEntries,
    kNColors,
    kFieldCount = 25
};
constexpr std::uint32_t kXwdVersion = 7;
constexpr std::uint32_t kZPixmap = 2;
constexpr std::uint32_t kTrueColor = 4, kDirectColor = 5;
constexpr std::size_t kXwdColourSize = 12;

std::uint32_t ReadU32(std::span<const std::uint8_t> bytes, std::size_t at, bool msbFirst) {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v = (v << 8) | bytes[at + (msbFirst ? i : 3 - i)];
    return v;
}

// One channel from a pixel value by its mask, scaled to 8 bits.
std::uint8_t Channel(std::uint32_t pixel, std::uint32_t mask) {
    if (mask == 0) return 0;
    int shift = 0;
    while (((mask >> shift) & 1u) == 0) ++shift;
    const std::uint64_t max = mask >> shift;
    const std::uint64_t v = (pixel & mask) >> shift;
    return static_cast<std::uint8_t>(max == 255 ? v : (v * 255 + max / 2) / max);
}

}  // namespace

Surface DecodeXwd(std::span<const std::uint8_t> bytes) {
    const std::size_t headerBytes = kFieldCount * 4;
    if (bytes.size() < headerBytes) throw std::runtime_error("XWD: shorter than its header");
    // xwd writes the header most significant byte first; accept a swapped one too.
    bool msbHeader = true;
    if (ReadU32(bytes, 4 * kFileVersion, true) != kXwdVersion) {
        if (ReadU32(bytes, 4 * kFileVersion, false) != kXwdVersion)
            throw std::runtime_error("XWD: not a version 7 window dump");
        msbHeader = false;
    }
    std::uint32_t h[kFieldCount];
    for (int i = 0; i < kFieldCount; ++i) h[i] = ReadU32(bytes, 4 * i, msbHeader);

    if (h[kPixmapFormat] != kZPixmap) throw std::runtime_error("XWD: not a Z-pixmap");
    if (h[kVisualClass] != kTrueColor && h[kVisualClass] != kDirectColor)
        throw std::runtime_error("XWD: not a true-colour visual");
    const std::uint32_t bpp = h[kBitsPerPixel];
    if (bpp != 24 && bpp != 32)
        throw std::runtime_error("XWD: " + std::to_string(bpp) + " bits per pixel not supported");
    const std::uint32_t width = h[kPixmapWidth], height = h[kPixmapHeight];
    const std::uint32_t stride = h[kBytesPerLine];
    if (width == 0 || height == 0 || width > 32768 || height > 32768)
        throw std::runtime_error("XWD: implausible size");
    if (h[kHeaderSize] < headerBytes || h[kHeaderSize] > bytes.size())
        throw std::runtime_error("XWD: bad header size");
    const std::size_t bytesPerPixel = bpp / 8;
    if (stride < width * bytesPerPixel)
        throw std::runtime_error("XWD: rows shorter than the width");
    const std::size_t offset =
        std::size_t{h[kHeaderSize]} + std::size_t{h[kNColors]} * kXwdColourSize;
    // The last row may lack its padding.
    const std::size_t need = std::size_t{stride} * (height - 1) + width * bytesPerPixel;
    if (offset > bytes.size() || bytes.size() - offset < need)
        throw std::runtime_error("XWD: pixel data cut short");

    const bool msbPixels = h[kByteOrder] != 0;
    Surface image(static_cast<int>(width), static_cast<int>(height));
    for (std::uint32_t y = 0; y < height; ++y) {
        const std::size_t row = offset + std::size_t{stride} * y;
        std::uint32_t* out = image.Row(static_cast<int>(y));
        for (std::uint32_t x = 0; x < width; ++x) {
            const std::size_t at = row + x * bytesPerPixel;
            std::uint32_t v = 0;
            for (std::size_t i = 0; i < bytesPerPixel; ++i) {
                const std::size_t k = msbPixels ? i : bytesPerPixel - 1 - i;
                v = (v << 8) | bytes[at + k];
            }
            out[x] = static_cast<std::uint32_t>(
                RGB(Channel(v, h[kRedMask]), Channel(v, h[kGreenMask]), Channel(v, h[kBlueMask])));
        }
    }
    return image;
}

Surface DecodeXwd(std::string_view bytes) {
    return DecodeXwd(std::span<const std::uint8_t>(
        reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
}

}  // namespace vorlax
