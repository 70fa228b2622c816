// xwd_to_png: turns an X window dump (as written by `xwd`) into a PNG file,
// optionally cropped. Used for the screenshots in the README:
//
//   xwd -id WINDOW -out shot.xwd
//   xwd_to_png shot.xwd shot.png [LEFT TOP WIDTH HEIGHT]
//
// Reads Z-pixmaps of 24 or 32 bits per pixel on a true-colour visual, in
// either byte order. Writes 8-bit RGB with a per-row PNG filter and its own
// small deflate coder (LZ77 with the fixed Huffman codes), so the tool needs
// nothing beyond the C++ library: the game's pictures are mostly flat colour,
// and long runs compress to a few bits each even without tailored codes.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct Picture {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgb;  // 3 bytes a pixel, rows top to bottom
};

// ---------------------------------------------------------------- XWD

std::uint32_t U32(const std::vector<std::uint8_t>& d, std::size_t at, bool msb) {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v = (v << 8) | d[at + (msb ? i : 3 - i)];
    return v;
}

std::uint8_t Channel(std::uint32_t pixel, std::uint32_t mask) {
    if (mask == 0) return 0;
    int shift = 0;
    while (((mask >> shift) & 1u) == 0) ++shift;
    const std::uint32_t max = mask >> shift, v = (pixel & mask) >> shift;
    return static_cast<std::uint8_t>(max == 255 ? v : (v * 255 + max / 2) / max);
}

Picture ReadXwd(const std::vector<std::uint8_t>& d) {
    if (d.size() < 100) throw std::runtime_error("not an XWD file (too short)");
    // The header is written most significant byte first; a swapped one is read too.
    bool msb = U32(d, 4, true) == 7;
    if (!msb && U32(d, 4, false) != 7) throw std::runtime_error("not a version 7 XWD file");
    auto field = [&](int i) { return U32(d, 4 * static_cast<std::size_t>(i), msb); };
    const std::uint32_t headerSize = field(0), format = field(2), width = field(4),
                        height = field(5), byteOrder = field(7), bpp = field(11),
                        stride = field(12), visual = field(13), red = field(14), green = field(15),
                        blue = field(16), ncolours = field(19);
    if (format != 2) throw std::runtime_error("only Z-pixmap dumps are supported");
    if (visual != 4 && visual != 5)
        throw std::runtime_error("only true-colour dumps are supported");
    if (bpp != 24 && bpp != 32) throw std::runtime_error("only 24 or 32 bits per pixel supported");
    if (width == 0 || height == 0 || width > 32768 || height > 32768)
        throw std::runtime_error("implausible picture size");
    const std::size_t bytesPerPixel = bpp / 8;
    if (stride < width * bytesPerPixel) throw std::runtime_error("rows shorter than the width");
    const std::size_t offset = std::size_t{headerSize} + std::size_t{ncolours} * 12;
    const std::size_t need = std::size_t{stride} * (height - 1) + width * bytesPerPixel;
    if (headerSize < 100 || offset > d.size() || d.size() - offset < need)
        throw std::runtime_error("XWD file cut short");

    Picture p;
    p.width = static_cast<int>(width);
    p.height = static_cast<int>(height);
    p.rgb.reserve(std::size_t{width} * height * 3);
    for (std::uint32_t y = 0; y < height; ++y) {
        for (std::uint32_t x = 0; x < width; ++x) {
            const std::size_t at = offset + std::size_t{stride} * y + x * bytesPerPixel;
            std::uint32_t v = 0;
            for (std::size_t i = 0; i < bytesPerPixel; ++i)
                v = (v << 8) | d[at + (byteOrder != 0 ? i : bytesPerPixel - 1 - i)];
            p.rgb.push_back(Channel(v, red));
            p.rgb.push_back(Channel(v, green));
            p.rgb.push_back(Channel(v, blue));
        }
    }
    return p;
}

Picture Crop(const Picture& p, int left, int top, int width, int height) {
    if (left < 0 || top < 0 || width <= 0 || height <= 0 || left + width > p.width ||
        top + height > p.height)
        throw std::runtime_error("the crop rectangle lies outside the picture");
    Picture out;
    out.width = width;
    out.height = height;
    for (int y = top; y < top + height; ++y) {
        const auto row = p.rgb.begin() + (static_cast<std::ptrdiff_t>(y) * p.width + left) * 3;
        out.rgb.insert(out.rgb.end(), row, row + static_cast<std::ptrdiff_t>(width) * 3);
    }
    return out;
}

// ---------------------------------------------------------------- deflate

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

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0) {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1u) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    crc = ~crc;
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

// Each row gets the filter whose output has the smallest sum of magnitudes,
// the usual rule of thumb for what deflate compresses best.
std::vector<std::uint8_t> FilteredRows(const Picture& p) {
    const std::size_t stride = static_cast<std::size_t>(p.width) * 3;
    std::vector<std::uint8_t> out;
    out.reserve((stride + 1) * p.height);
    std::vector<std::uint8_t> zero(stride, 0), trial(stride);
    for (int y = 0; y < p.height; ++y) {
        const std::uint8_t* row = p.rgb.data() + stride * y;
        const std::uint8_t* up = y > 0 ? row - stride : zero.data();
        int bestFilter = 0;
        long bestCost = -1;
        std::vector<std::uint8_t> best;
        for (int filter = 0; filter <= 4; ++filter) {
            long cost = 0;
            for (std::size_t i = 0; i < stride; ++i) {
                const int a = i >= 3 ? row[i - 3] : 0, b = up[i], c = i >= 3 ? up[i - 3] : 0;
                int predicted = 0;
                switch (filter) {
                    case 1:
                        predicted = a;
                        break;
                    case 2:
                        predicted = b;
                        break;
                    case 3:
                        predicted = (a + b) / 2;
                        break;
                    case 4:
                        predicted = Paeth(a, b, c);
                        break;
                    default:
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

std::vector<std::uint8_t> EncodePng(const Picture& p) {
    const std::vector<std::uint8_t> raw = FilteredRows(p);
    std::vector<std::uint8_t> z = {0x78, 0x01};  // deflate, 32 KiB window
    const std::vector<std::uint8_t> body = Deflate(raw);
    z.insert(z.end(), body.begin(), body.end());
    PutBigEndian(z, Adler32(raw));

    std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> ihdr;
    PutBigEndian(ihdr, static_cast<std::uint32_t>(p.width));
    PutBigEndian(ihdr, static_cast<std::uint32_t>(p.height));
    ihdr.insert(ihdr.end(),
                {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, adaptive filters, no interlace
    PutChunk(png, "IHDR", ihdr);
    PutChunk(png, "IDAT", z);
    PutChunk(png, "IEND", {});
    return png;
}

int ToInt(const char* s) {
    char* end = nullptr;
    const long v = std::strtol(s, &end, 10);
    if (end == s || *end != '\0') throw std::runtime_error(std::string("not a number: ") + s);
    return static_cast<int>(v);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 && argc != 7) {
        std::fprintf(stderr, "usage: xwd_to_png IN.xwd OUT.png [LEFT TOP WIDTH HEIGHT]\n");
        return 2;
    }
    try {
        std::ifstream in(argv[1], std::ios::binary);
        if (!in) throw std::runtime_error(std::string("cannot read ") + argv[1]);
        const std::vector<std::uint8_t> dump((std::istreambuf_iterator<char>(in)),
                                             std::istreambuf_iterator<char>());
        Picture picture = ReadXwd(dump);
        if (argc == 7)
            picture = Crop(picture, ToInt(argv[3]), ToInt(argv[4]), ToInt(argv[5]), ToInt(argv[6]));
        const std::vector<std::uint8_t> png = EncodePng(picture);
        std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(png.data()),
                  static_cast<std::streamsize>(png.size()));
        if (!out) throw std::runtime_error(std::string("cannot write ") + argv[2]);
        std::printf("%s: %d x %d, %zu bytes\n", argv[2], picture.width, picture.height, png.size());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "xwd_to_png: %s\n", e.what());
        return 1;
    }
    return 0;
}
