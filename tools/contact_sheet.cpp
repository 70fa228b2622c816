// Contact sheet of the game's artwork, for reviewing the sprites the way the
// game shows them: every bitmap is loaded with LoadSpriteDC and drawn with
// DrawMasked over the play field's background. The sheet shows all sprites at
// 1:1 with the four key pictures, the ship and the enemies again three times
// enlarged, and the energy carrier with the ship docked in its bay.
//
//   contact_sheet ASSET_FOLDER OUTPUT.png
#include <array>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <fstream>
#include <string>
#include <vector>

#include "graphics/artwork.h"
#include "graphics/raster.h"
#include "graphics/sprites.h"

namespace {

using vorlax::Colour;
using vorlax::Surface;
using vorlax::SurfaceHandle;

constexpr Colour kBackground = vorlax::RGB(1, 0, 1);

struct Sprite {
    SurfaceHandle picture = 0;
    SurfaceHandle mask = 0;
    int width = 0;
    int height = 0;
};

Sprite Load(const std::string& folder, const std::string& picture, const std::string& mask, int w,
            int h) {
    return {vorlax::LoadSpriteDC(folder + "/" + picture), vorlax::LoadSpriteDC(folder + "/" + mask),
            w, h};
}

void Draw(Surface& dst, const Sprite& s, int x, int y) {
    vorlax::DrawMasked(dst, x, y, s.width, s.height, s.picture, s.mask);
}

// A sprite drawn over the background and scaled up by `zoom`, nearest pixel.
void DrawZoomed(Surface& dst, const Sprite& s, int x, int y, int zoom) {
    Surface tile(s.width, s.height, kBackground);
    Draw(tile, s, 0, 0);
    for (int ty = 0; ty < s.height; ++ty)
        for (int tx = 0; tx < s.width; ++tx)
            for (int k = 0; k < zoom * zoom; ++k)
                dst.SetPixel(x + tx * zoom + k % zoom, y + ty * zoom + k / zoom,
                             tile.Pixel(tx, ty));
}

// A few fixed stars, so the sprites are seen over a star field as in play.
void Stars(Surface& dst) {
    std::uint32_t state = 12345;
    for (int i = 0; i < 260; ++i) {
        state = state * 1103515245u + 12345u;
        const int x = static_cast<int>((state >> 8) % static_cast<std::uint32_t>(dst.Width()));
        state = state * 1103515245u + 12345u;
        const int y = static_cast<int>((state >> 8) % static_cast<std::uint32_t>(dst.Height()));
        const int v = 90 + static_cast<int>(state % 120);
        dst.SetPixel(x, y, vorlax::RGB(v, v, v));
    }
}

// A thin grey underline under a group of sprites.
void Rule(Surface& dst, int x0, int x1, int y) {
    for (int x = x0; x <= x1; ++x) dst.SetPixel(x, y, vorlax::RGB(60, 56, 72));
}

// --- A small PNG writer: filtered rows, deflate with LZ77 and the fixed
// Huffman code (RFC 1951), zlib and PNG framing with Adler-32 and CRC-32.

class BitWriter {
  public:
    void Bits(std::uint32_t value, int count) {
        for (int i = 0; i < count; ++i) Bit((value >> i) & 1u);
    }
    // Huffman codes go most significant bit first.
    void Code(std::uint32_t code, int length) {
        for (int i = length - 1; i >= 0; --i) Bit((code >> i) & 1u);
    }
    std::vector<std::uint8_t> Finish() {
        if (used_ > 0) out_.push_back(current_);
        used_ = 0;
        current_ = 0;
        return out_;
    }

  private:
    void Bit(std::uint32_t b) {
        current_ |= static_cast<std::uint8_t>(b << used_);
        if (++used_ == 8) {
            out_.push_back(current_);
            current_ = 0;
            used_ = 0;
        }
    }
    std::vector<std::uint8_t> out_;
    std::uint8_t current_ = 0;
    int used_ = 0;
};

void Literal(BitWriter& bw, int v) {
    if (v < 144)
        bw.Code(0x30 + v, 8);
    else if (v < 256)
        bw.Code(0x190 + (v - 144), 9);
    else if (v < 280)
        bw.Code(v - 256, 7);
    else
        bw.Code(0xC0 + (v - 280), 8);
}

void Match(BitWriter& bw, int length, int distance) {
    static const int lenBase[] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                  31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
    static const int lenExtra[] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                   2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
    static const int distBase[] = {1,    2,    3,    4,    5,    7,    9,    13,    17,    25,
                                   33,   49,   65,   97,   129,  193,  257,  385,   513,   769,
                                   1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
    static const int distExtra[] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                    6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
    int li = 28;
    while (lenBase[li] > length) --li;
    Literal(bw, 257 + li);
    bw.Bits(static_cast<std::uint32_t>(length - lenBase[li]), lenExtra[li]);
    int di = 29;
    while (distBase[di] > distance) --di;
    bw.Code(static_cast<std::uint32_t>(di), 5);
    bw.Bits(static_cast<std::uint32_t>(distance - distBase[di]), distExtra[di]);
}

std::vector<std::uint8_t> Deflate(const std::vector<std::uint8_t>& data) {
    BitWriter bw;
    bw.Bits(1, 1);  // final block
    bw.Bits(1, 2);  // fixed Huffman codes
    constexpr int kWindow = 32768, kHashSize = 1 << 15, kChain = 48;
    std::vector<int> head(kHashSize, -1);
    std::vector<int> prev(data.size(), -1);
    const int n = static_cast<int>(data.size());
    auto hash = [&](int i) {
        return ((data[i] << 10) ^ (data[i + 1] << 5) ^ data[i + 2]) & (kHashSize - 1);
    };
    auto insert = [&](int i) {
        if (i + 2 >= n) return;
        const int h = hash(i);
        prev[i] = head[h];
        head[h] = i;
    };
    int i = 0;
    while (i < n) {
        int bestLen = 0, bestDist = 0;
        if (i + 2 < n) {
            int cand = head[hash(i)];
            for (int chain = 0; cand >= 0 && i - cand <= kWindow && chain < kChain; ++chain) {
                int len = 0;
                while (len < 258 && i + len < n && data[cand + len] == data[i + len]) ++len;
                if (len > bestLen) {
                    bestLen = len;
                    bestDist = i - cand;
                    if (len == 258) break;
                }
                cand = prev[cand];
            }
        }
        if (bestLen >= 3) {
            Match(bw, bestLen, bestDist);
            for (int k = 0; k < bestLen; ++k) insert(i + k);
            i += bestLen;
        } else {
            Literal(bw, data[i]);
            insert(i);
            ++i;
        }
    }
    Literal(bw, 256);
    return bw.Finish();
}

std::uint32_t Crc32(const std::uint8_t* p, std::size_t n, std::uint32_t crc = 0) {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t k = 0; k < 256; ++k) {
            std::uint32_t c = k;
            for (int j = 0; j < 8; ++j) c = (c & 1u) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[k] = c;
        }
        return t;
    }();
    crc = ~crc;
    for (std::size_t i = 0; i < n; ++i) crc = table[(crc ^ p[i]) & 0xFFu] ^ (crc >> 8);
    return ~crc;
}

void PutBe(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<std::uint8_t>(v >> s));
}

void Chunk(std::vector<std::uint8_t>& png, const char* type,
           const std::vector<std::uint8_t>& data) {
    PutBe(png, static_cast<std::uint32_t>(data.size()));
    std::vector<std::uint8_t> body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    png.insert(png.end(), body.begin(), body.end());
    PutBe(png, Crc32(body.data(), body.size()));
}

std::vector<std::uint8_t> EncodePng(const Surface& s) {
    const int w = s.Width(), h = s.Height();
    std::vector<std::uint8_t> raw;
    raw.reserve(static_cast<std::size_t>(h) * (1 + 3 * static_cast<std::size_t>(w)));
    for (int y = 0; y < h; ++y) {
        raw.push_back(1);  // "Sub" filter: each byte minus the one a pixel to the left
        int pr = 0, pg = 0, pb = 0;
        for (int x = 0; x < w; ++x) {
            const Colour c = s.Pixel(x, y);
            const int r = vorlax::RedOf(c), g = vorlax::GreenOf(c), b = vorlax::BlueOf(c);
            raw.push_back(static_cast<std::uint8_t>(r - pr));
            raw.push_back(static_cast<std::uint8_t>(g - pg));
            raw.push_back(static_cast<std::uint8_t>(b - pb));
            pr = r;
            pg = g;
            pb = b;
        }
    }
    std::vector<std::uint8_t> z = {0x78, 0x01};
    const std::vector<std::uint8_t> deflated = Deflate(raw);
    z.insert(z.end(), deflated.begin(), deflated.end());
    std::uint32_t a = 1, b = 0;
    for (std::uint8_t v : raw) {
        a = (a + v) % 65521u;
        b = (b + a) % 65521u;
    }
    PutBe(z, (b << 16) | a);

    std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> ihdr;
    PutBe(ihdr, static_cast<std::uint32_t>(w));
    PutBe(ihdr, static_cast<std::uint32_t>(h));
    ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0});  // 8 bits per channel, RGB
    Chunk(png, "IHDR", ihdr);
    Chunk(png, "IDAT", z);
    Chunk(png, "IEND", {});
    return png;
}

std::vector<std::uint8_t> EncodeBmp(const Surface& s) {
    vorlax::art::Image img(s.Width(), s.Height());
    for (int y = 0; y < s.Height(); ++y)
        for (int x = 0; x < s.Width(); ++x) {
            const Colour c = s.Pixel(x, y);
            img.At(x, y) = static_cast<std::uint32_t>(vorlax::RedOf(c) << 16 |
                                                      vorlax::GreenOf(c) << 8 | vorlax::BlueOf(c));
        }
    return vorlax::art::EncodeBmp24(img);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s ASSET_FOLDER OUTPUT.png|OUTPUT.bmp\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    const std::string output = argv[2];
    namespace art = vorlax::art;
    try {
        const Sprite ship =
            Load(folder, "Ship.bmp", "Shipmask.bmp", art::kShipSize.width, art::kShipSize.height);
        const Sprite carrier = Load(folder, "FuelShip.bmp", "Fuelmask.bmp", art::kCarrierSize.width,
                                    art::kCarrierSize.height);
        std::vector<Sprite> enemies;
        for (int n = 1; n <= art::kEnemyTypes; ++n) {
            const art::SpriteSize size = art::kEnemySizes[n - 1];
            enemies.push_back(Load(folder, art::EnemyPictureName(n), art::EnemyMaskName(n),
                                   size.width, size.height));
        }
        std::vector<SurfaceHandle> keys;
        for (const char* name : {"Key Right.bmp", "Key Left.bmp", "Key Up.bmp", "Key Down.bmp"})
            keys.push_back(vorlax::LoadSpriteDC(folder + "/" + name));

        const int margin = 16, gap = 14, zoom = 3;
        const int width = art::kCarrierSize.width + 2 * margin;
        const int rowOne = margin;  // everything at 1:1
        const int rowZoomA = rowOne + 56 + 2 * margin;
        const int rowZoomB = rowZoomA + 32 * zoom + margin;
        const int rowCarrier = rowZoomB + 56 * zoom + 2 * margin;
        const int height = rowCarrier + art::kCarrierSize.height + margin;
        Surface sheet(width, height, kBackground);
        Stars(sheet);

        // 1:1: the ship, the eleven enemies, then the key pictures.
        std::vector<const Sprite*> all = {&ship};
        for (const Sprite& e : enemies) all.push_back(&e);
        int x = margin;
        for (const Sprite* s : all) {
            Draw(sheet, *s, x, rowOne + (56 - s->height) / 2);
            x += s->width + gap;
        }
        Rule(sheet, margin, x - gap, rowOne + 56 + 6);
        x += 2 * gap;
        for (SurfaceHandle k : keys) {
            vorlax::BitBlt(sheet, x, rowOne + 12, 32, 32, vorlax::SurfaceOf(k), 0, 0,
                           vorlax::SRCCOPY);
            x += 32 + gap;
        }

        // Three times enlarged, in two rows.
        x = margin;
        for (std::size_t i = 0; i < all.size(); ++i) {
            const int row = i < 6 ? rowZoomA : rowZoomB;
            if (i == 6) x = margin;
            DrawZoomed(sheet, *all[i], x, row, zoom);
            x += all[i]->width * zoom + gap;
        }

        // The carrier with the ship docked in its bay: the ship first, so it
        // shows through the open bay, as in the game.
        Draw(sheet, ship, margin + 610, rowCarrier + 165);
        Draw(sheet, carrier, margin, rowCarrier);

        // The raster may not draw yet in an unfinished build; say so rather
        // than hand over a sheet without sprites.
        const Surface* shipPicture = vorlax::SurfaceOf(ship.picture);
        const Surface* shipMask = vorlax::SurfaceOf(ship.mask);
        bool drawn = true;
        for (int y = 0; y < ship.height; ++y)
            for (int xx = 0; xx < ship.width; ++xx)
                if (shipMask->Pixel(xx, y) == 0 &&
                    sheet.Pixel(margin + xx, rowOne + 12 + y) != shipPicture->Pixel(xx, y))
                    drawn = false;
        if (!drawn)
            std::fprintf(stderr, "contact_sheet: warning: sprites did not draw (raster BitBlt?)\n");

        const bool png = output.size() >= 4 && output.substr(output.size() - 4) == ".png";
        const std::vector<std::uint8_t> bytes = png ? EncodePng(sheet) : EncodeBmp(sheet);
        std::ofstream out(output, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        if (!out) {
            std::fprintf(stderr, "contact_sheet: cannot write %s\n", output.c_str());
            return 1;
        }
        std::printf("%s: %d x %d\n", output.c_str(), width, height);
        return drawn ? 0 : 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "contact_sheet: %s\n", e.what());
        return 1;
    }
}
