#include "png_file.h"

#include <png.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace vorlax {

void WritePng(const std::filesystem::path& file, const Surface& image,
              std::span<const std::uint8_t> alpha) {
    const bool rgba = !alpha.empty();
    const int width = image.Width(), height = image.Height();
    if (width <= 0 || height <= 0) throw std::invalid_argument("PNG: an empty picture");
    if (rgba && alpha.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height))
        throw std::invalid_argument("PNG: one alpha value per pixel is needed");
    std::vector<std::uint8_t> bytes;
    bytes.reserve(static_cast<std::size_t>(width) * height * (rgba ? 4 : 3));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const Colour c = image.Pixel(x, y);
            bytes.insert(bytes.end(), {static_cast<std::uint8_t>(RedOf(c)),
                                       static_cast<std::uint8_t>(GreenOf(c)),
                                       static_cast<std::uint8_t>(BlueOf(c))});
            if (rgba) bytes.push_back(alpha[static_cast<std::size_t>(y) * width + x]);
        }
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(width);
    png.height = static_cast<png_uint_32>(height);
    png.format = rgba ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
    if (png_image_write_to_file(&png, file.c_str(), 0, bytes.data(), 0, nullptr) == 0)
        throw std::runtime_error("cannot write " + file.string() + ": " + png.message);
}

}  // namespace vorlax
