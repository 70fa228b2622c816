#include "raster/bitmap_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <limits>

namespace vorlax {
namespace {

constexpr std::uint32_t kFileHeaderBytes = 14;
constexpr std::uint32_t kCoreHeaderBytes = 12;  // OS/2 1.x
constexpr std::uint32_t kInfoHeaderBytes = 40;
constexpr std::uint32_t kLargestHeaderBytes = 124;  // the V5 header

// Compression codes of the info header.
constexpr std::uint32_t kUncompressed = 0;
constexpr std::uint32_t kRle8 = 1;
constexpr std::uint32_t kRle4 = 2;
constexpr std::uint32_t kBitFields = 3;
constexpr std::uint32_t kJpeg = 4;
constexpr std::uint32_t kPng = 5;

std::uint16_t U16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}
std::uint32_t U32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
std::int32_t I32(const std::uint8_t* p) {
    return static_cast<std::int32_t>(U32(p));
}

[[noreturn]] void Fail(const std::string& why) {
    throw BitmapError(why);
}

std::string SizeText(long long w, long long h) {
    return std::to_string(w) + " x " + std::to_string(h);
}

bool KnownInfoHeader(std::uint32_t bytes) {
    // 40: Windows 3; 52 and 56: the same with colour masks; 108 and 124:
    // Windows 95 and 98 (colour space and profile fields, which are ignored).
    return bytes == 40 || bytes == 52 || bytes == 56 || bytes == 108 || bytes == 124;
}

void CheckPixelFormat(std::uint32_t compression, int bits) {
    switch (compression) {
        case kUncompressed:
        case kBitFields:
            break;
        case kRle8:
        case kRle4:
            Fail(
                "its pixels are run-length compressed, which is not supported; save it "
                "uncompressed");
        case kJpeg:
        case kPng:
            Fail(std::string("it holds a ") + (compression == kJpeg ? "JPEG" : "PNG") +
                 " picture inside, which is not supported; save it as a plain bitmap");
        default:
            Fail("its compression (code " + std::to_string(compression) + ") is unknown");
    }
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)
        Fail(std::to_string(bits) +
             " bits per pixel is not supported (1, 4, 8, 24 or 32 bits are)");
    if (compression == kBitFields && bits != 32)
        Fail("colour masks at " + std::to_string(bits) + " bits per pixel are not supported");
}

}  // namespace

bool MemorySource::Read(std::uint64_t offset, std::uint8_t* into, std::size_t count) {
    if (offset > bytes_.size() || count > bytes_.size() - offset) return false;
    if (count > 0) std::memcpy(into, bytes_.data() + offset, count);
    return true;
}

BitmapLayout CheckBitmapHeader(ByteSource& source, int width, int height) {
    if (width <= 0 || height <= 0) throw std::invalid_argument("a bitmap needs a size");
    const std::uint64_t fileSize = source.Size();
    std::uint8_t head[kFileHeaderBytes + kLargestHeaderBytes] = {};
    if (fileSize < kFileHeaderBytes + 4 || !source.Read(0, head, kFileHeaderBytes + 4))
        Fail("it is too short to be a bitmap (" + std::to_string(fileSize) + " bytes)");
    if (head[0] != 'B' || head[1] != 'M') Fail("it is not a bitmap (it does not begin with BM)");

    const std::uint32_t headerBytes = U32(head + kFileHeaderBytes);
    if (headerBytes == kCoreHeaderBytes)
        Fail("it is an OS/2 bitmap, which is not supported; save it as a Windows bitmap");
    if (!KnownInfoHeader(headerBytes))
        Fail("its header (" + std::to_string(headerBytes) + " bytes) is of no known kind");
    if (!source.Read(0, head, kFileHeaderBytes + headerBytes))
        Fail("the file ends inside its header");
    const std::uint8_t* info = head + kFileHeaderBytes;

    // The size first: nothing about the pixels matters if it is not the one
    // the game draws.
    const std::int32_t fileWidth = I32(info + 4);
    const std::int32_t fileHeight = I32(info + 8);
    const long long rows = fileHeight < 0 ? -static_cast<long long>(fileHeight) : fileHeight;
    if (fileWidth != width || rows != height)
        Fail("the picture is " + SizeText(fileWidth, rows) + " pixels, but " +
             SizeText(width, height) + " are needed");

    BitmapLayout layout;
    layout.width = width;
    layout.height = height;
    layout.topDown = fileHeight < 0;
    layout.bitsPerPixel = U16(info + 14);
    const std::uint32_t compression = U32(info + 16);
    CheckPixelFormat(compression, layout.bitsPerPixel);

    std::uint64_t headersEnd = kFileHeaderBytes + headerBytes;
    if (compression == kBitFields) {
        // The masks follow a 40-byte header; the longer headers hold them.
        std::uint8_t masks[12];
        if (headerBytes == kInfoHeaderBytes) {
            if (!source.Read(headersEnd, masks, sizeof masks))
                Fail("the file ends inside its colour masks");
            headersEnd += sizeof masks;
        } else {
            std::memcpy(masks, info + 40, sizeof masks);
        }
        if (U32(masks) != 0x00FF0000u || U32(masks + 4) != 0x0000FF00u ||
            U32(masks + 8) != 0x000000FFu)
            Fail(
                "its colour masks are not 8 bits each for red, green and blue, which is the "
                "only kind supported");
    }

    if (layout.bitsPerPixel <= 8) {
        const std::uint32_t most = 1u << layout.bitsPerPixel;
        const std::uint32_t used = U32(info + 32);
        const std::uint32_t colours = used == 0 ? most : used;
        if (colours > most)
            Fail("its palette claims " + std::to_string(used) + " colours, but a " +
                 std::to_string(layout.bitsPerPixel) + "-bit pixel can name only " +
                 std::to_string(most));
        std::uint8_t entries[256 * 4];
        if (!source.Read(headersEnd, entries, colours * 4))
            Fail("the file ends inside its palette");
        headersEnd += colours * 4;
        layout.palette.reserve(colours);
        for (std::uint32_t i = 0; i < colours; ++i)
            layout.palette.push_back(RGB(entries[4 * i + 2], entries[4 * i + 1], entries[4 * i]));
    }

    layout.pixelOffset = U32(head + 10);
    if (layout.pixelOffset < headersEnd)
        Fail("its pixels would begin at byte " + std::to_string(layout.pixelOffset) +
             ", inside its header, which ends at byte " + std::to_string(headersEnd));
    // Rows are padded to whole 4-byte words.
    const std::uint64_t rowBytes =
        (static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(layout.bitsPerPixel) + 31) /
        32 * 4;
    const std::uint64_t pixelBytes = rowBytes * static_cast<std::uint64_t>(height);
    if (rowBytes > std::numeric_limits<std::uint32_t>::max())
        Fail("its rows are too long (" + std::to_string(rowBytes) + " bytes each)");
    layout.rowBytes = static_cast<std::uint32_t>(rowBytes);
    if (layout.pixelOffset > fileSize || pixelBytes > fileSize - layout.pixelOffset)
        Fail("its pixels need " + std::to_string(pixelBytes) + " bytes from byte " +
             std::to_string(layout.pixelOffset) + ", but the file has only " +
             std::to_string(fileSize) + " bytes");
    return layout;
}

Surface ReadBitmap(ByteSource& source, int width, int height) {
    const BitmapLayout layout = CheckBitmapHeader(source, width, height);
    Surface picture(width, height);
    std::vector<std::uint8_t> row(layout.rowBytes);
    const int bits = layout.bitsPerPixel;
    for (int stored = 0; stored < height; ++stored) {
        if (!source.Read(layout.pixelOffset + std::uint64_t{layout.rowBytes} * stored, row.data(),
                         row.size()))
            Fail("the file could not be read to its end");
        const int y = layout.topDown ? stored : height - 1 - stored;
        std::uint32_t* out = picture.Row(y);
        for (int x = 0; x < width; ++x) {
            if (bits == 24) {
                const std::uint8_t* p = &row[static_cast<std::size_t>(x) * 3];
                out[x] = static_cast<std::uint32_t>(RGB(p[2], p[1], p[0]));
            } else if (bits == 32) {
                const std::uint8_t* p = &row[static_cast<std::size_t>(x) * 4];
                out[x] = static_cast<std::uint32_t>(RGB(p[2], p[1], p[0]));
            } else {
                // 1, 4 or 8 bits: indexes into the palette, leftmost pixel in
                // the highest bits of its byte.
                const int perByte = 8 / bits;
                const std::uint8_t byte = row[static_cast<std::size_t>(x / perByte)];
                const int shift = 8 - bits * (x % perByte + 1);
                const unsigned index = (byte >> shift) & ((1u << bits) - 1);
                if (index >= layout.palette.size())
                    Fail("a pixel uses colour " + std::to_string(index) + " of a palette of " +
                         std::to_string(layout.palette.size()));
                out[x] = static_cast<std::uint32_t>(layout.palette[index]);
            }
        }
    }
    return picture;
}

Surface DecodeBitmap(std::span<const std::uint8_t> bytes, int width, int height) {
    MemorySource source(bytes);
    return ReadBitmap(source, width, height);
}

namespace {

// A file read with positioned reads; its size is taken once, when opened.
class FileSource : public ByteSource {
  public:
    FileSource(int fd, std::uint64_t size) : fd_(fd), size_(size) {}
    ~FileSource() override { close(fd_); }
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    std::uint64_t Size() const override { return size_; }
    bool Read(std::uint64_t offset, std::uint8_t* into, std::size_t count) override {
        if (offset > size_ || count > size_ - offset) return false;
        while (count > 0) {
            const ssize_t got = pread(fd_, into, count, static_cast<off_t>(offset));
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) return false;
            into += got;
            offset += static_cast<std::uint64_t>(got);
            count -= static_cast<std::size_t>(got);
        }
        return true;
    }

  private:
    int fd_;
    std::uint64_t size_;
};

}  // namespace

Surface ReadBitmapFile(const std::string& path, int width, int height) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        Fail(std::string("the file is missing or cannot be opened (") + std::strerror(error) + ")");
    }
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        Fail("it is not a file");
    }
    FileSource source(fd, static_cast<std::uint64_t>(info.st_size));
    return ReadBitmap(source, width, height);
}

}  // namespace vorlax
