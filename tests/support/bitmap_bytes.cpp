#include "support/bitmap_bytes.h"

namespace vorlax::testing {

void Poke(std::string& file, std::size_t at, std::uint32_t value, int bytes) {
    if (file.size() < at + static_cast<std::size_t>(bytes)) file.resize(at + bytes, '\0');
    for (int i = 0; i < bytes; ++i) file[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

std::string MakeBitmap(const BitmapLayout& layout,
                       const std::function<std::uint32_t(int x, int y)>& pixel) {
    const bool masksAfter = layout.compression == 3 && layout.headerBytes == 40;
    const std::size_t headers = 14 + layout.headerBytes + (masksAfter ? 12 : 0);
    const std::size_t offset = headers + layout.palette.size() * 4;
    const std::size_t row = (static_cast<std::size_t>(layout.width) * layout.bits + 31) / 32 * 4;
    const std::size_t size = offset + row * layout.height;

    std::string b(size, '\0');
    b[0] = 'B';
    b[1] = 'M';
    Poke(b, 2, static_cast<std::uint32_t>(size));
    Poke(b, 10, static_cast<std::uint32_t>(offset));
    Poke(b, 14, layout.headerBytes);
    Poke(b, 18, static_cast<std::uint32_t>(layout.width));
    Poke(b, 22, static_cast<std::uint32_t>(layout.topDown ? -layout.height : layout.height));
    Poke(b, 26, 1, 2);
    Poke(b, 28, static_cast<std::uint32_t>(layout.bits), 2);
    Poke(b, 30, layout.compression);
    Poke(b, 34, static_cast<std::uint32_t>(row * layout.height));
    Poke(b, 38, 2835);
    Poke(b, 42, 2835);
    Poke(b, 46, layout.coloursUsed);
    if (layout.compression == 3) {
        // Right after a 40-byte header, or inside a longer one: byte 54 either way.
        for (int i = 0; i < 3; ++i) Poke(b, 54 + 4 * i, layout.masks[i]);
    }
    for (std::size_t i = 0; i < layout.palette.size(); ++i) {
        const Colour c = layout.palette[i];
        Poke(b, headers + 4 * i,
             static_cast<std::uint32_t>(BlueOf(c) | GreenOf(c) << 8 | RedOf(c) << 16));
    }
    for (int y = 0; y < layout.height; ++y) {
        const int stored = layout.topDown ? y : layout.height - 1 - y;
        const std::size_t start = offset + row * stored;
        for (int x = 0; x < layout.width; ++x) {
            const std::uint32_t v = pixel(x, y);
            if (layout.bits >= 24) {
                const Colour c = static_cast<Colour>(v);
                const std::size_t at = start + static_cast<std::size_t>(x) * (layout.bits / 8);
                b[at] = static_cast<char>(BlueOf(c));
                b[at + 1] = static_cast<char>(GreenOf(c));
                b[at + 2] = static_cast<char>(RedOf(c));
            } else {
                const int perByte = 8 / layout.bits;
                const std::size_t at = start + static_cast<std::size_t>(x / perByte);
                const int shift = 8 - layout.bits * (x % perByte + 1);
                b[at] = static_cast<char>(static_cast<std::uint8_t>(b[at]) | (v << shift));
            }
        }
    }
    return b;
}

std::string Bitmap24(int width, int height, Colour colour) {
    BitmapLayout layout;
    layout.width = width;
    layout.height = height;
    return MakeBitmap(layout, [colour](int, int) { return static_cast<std::uint32_t>(colour); });
}

}  // namespace vorlax::testing
