// xwd_to_png: turns an X window dump (as written by `xwd`) into a PNG file,
// optionally cropped. Used for the screenshots in the README:
//
//   xwd -id WINDOW -out shot.xwd
//   xwd_to_png shot.xwd shot.png [LEFT TOP WIDTH HEIGHT]
//
// Reads Z-pixmaps of 24 or 32 bits per pixel on a true-colour visual, in
// either byte order, and writes 8-bit RGB, both with the game library's own
// picture-file code (graphics/image_files.h), so the tool needs nothing
// beyond the C++ library.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "raster/image_files.h"
#include "raster/raster.h"

namespace {

using vorlax::Surface;

Surface Crop(const Surface& p, int left, int top, int width, int height) {
    if (left < 0 || top < 0 || width <= 0 || height <= 0 || left > p.Width() - width ||
        top > p.Height() - height)
        throw std::runtime_error("the crop rectangle lies outside the picture");
    Surface out(width, height);
    vorlax::BitBlt(out, 0, 0, width, height, &p, left, top, vorlax::SRCCOPY);
    return out;
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
        Surface picture = vorlax::DecodeXwd(dump);
        if (argc == 7)
            picture = Crop(picture, ToInt(argv[3]), ToInt(argv[4]), ToInt(argv[5]), ToInt(argv[6]));
        const std::vector<std::uint8_t> png = vorlax::EncodePng(picture);
        std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(png.data()),
                  static_cast<std::streamsize>(png.size()));
        if (!out) throw std::runtime_error(std::string("cannot write ") + argv[2]);
        std::printf("%s: %d x %d, %zu bytes\n", argv[2], picture.Width(), picture.Height(),
                    png.size());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "xwd_to_png: %s\n", e.what());
        return 1;
    }
    return 0;
}
