// Windows bitmap files (.bmp), the format of the game's sprites and key
// pictures. The game always knows the size a picture must have, so the reader
// takes that size and checks the file's header against it before anything is
// allocated for the pixels: a damaged or hostile header can never make the
// game reserve more than the picture it asked for. Plain C++: no SDL.
//
// What is read: the Windows header (40 bytes, or the later 52, 56, 108 and
// 124-byte forms), uncompressed, at 1, 4 or 8 bits per pixel with a palette,
// or 24 bits, or 32 bits (plain, or with colour masks of 8 bits per channel),
// rows bottom-up or top-down. Everything else (run-length compression, 16
// bits, OS/2 headers, embedded JPEG or PNG) is refused with a reason.
#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "raster/raster.h"

namespace vorlax {

// A bitmap the game cannot use. what() says why, in words fit for the player:
// "the picture is 53 x 32 pixels, but 47 x 32 are needed".
struct BitmapError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Where a bitmap's bytes come from: a file, or bytes already in memory.
class ByteSource {
  public:
    virtual ~ByteSource() = default;
    virtual std::uint64_t Size() const = 0;
    // Copies `count` bytes from `offset` into `into`; false when the source
    // does not hold them all.
    virtual bool Read(std::uint64_t offset, std::uint8_t* into, std::size_t count) = 0;
};

class MemorySource : public ByteSource {
  public:
    explicit MemorySource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    std::uint64_t Size() const override { return bytes_.size(); }
    bool Read(std::uint64_t offset, std::uint8_t* into, std::size_t count) override;

  private:
    std::span<const std::uint8_t> bytes_;
};

// The pixels of a bitmap as its header describes them, once checked.
struct BitmapLayout {
    int width = 0;
    int height = 0;
    bool topDown = false;  // rows stored top row first
    int bitsPerPixel = 0;
    std::uint64_t pixelOffset = 0;  // where the first stored row starts
    std::uint32_t rowBytes = 0;     // bytes per stored row, padding included
    std::vector<Colour> palette;    // for 1, 4 and 8 bits per pixel
};

// Reads the headers and the palette (a little over a kilobyte at most) and
// checks them: the signature, a header form and pixel format the reader
// supports, the size `width` x `height` exactly, and pixel rows that lie
// wholly inside the source. Throws BitmapError with the first problem found.
BitmapLayout CheckBitmapHeader(ByteSource& source, int width, int height);

// The whole picture: the header check, then the rows one at a time. Throws
// BitmapError; a pixel that names a colour beyond the palette is an error too.
Surface ReadBitmap(ByteSource& source, int width, int height);

// The same for bytes in memory.
Surface DecodeBitmap(std::span<const std::uint8_t> bytes, int width, int height);

// The same for the file at `path`. A file that cannot be opened or read
// throws BitmapError too ("the file is missing or cannot be opened").
Surface ReadBitmapFile(const std::string& path, int width, int height);

}  // namespace vorlax
