#include "scores/key_pictures.h"

#include <array>
#include <cstddef>
#include <exception>

#include "raster/bitmap_file.h"

namespace vorlax {
namespace embedded {
// Made by the build from assets/Key *.bmp.
extern const unsigned char kKeyRightBmp[], kKeyLeftBmp[], kKeyUpBmp[], kKeyDownBmp[];
extern const std::size_t kKeyRightBmpSize, kKeyLeftBmpSize, kKeyUpBmpSize, kKeyDownBmpSize;
}  // namespace embedded

std::span<const std::uint8_t> KeyPictureBitmap(ArrowKey key) {
    using namespace embedded;
    switch (key) {
        case ArrowKey::Right:
            return {kKeyRightBmp, kKeyRightBmpSize};
        case ArrowKey::Left:
            return {kKeyLeftBmp, kKeyLeftBmpSize};
        case ArrowKey::Up:
            return {kKeyUpBmp, kKeyUpBmpSize};
        case ArrowKey::Down:
            return {kKeyDownBmp, kKeyDownBmpSize};
    }
    return {};
}

const Surface& KeyPicture(ArrowKey key) {
    static const std::array<Surface, 4> pictures = [] {
        std::array<Surface, 4> all;
        for (ArrowKey k : {ArrowKey::Right, ArrowKey::Left, ArrowKey::Up, ArrowKey::Down}) {
            Surface& picture = all[static_cast<std::size_t>(k)];
            try {
                picture = DecodeBitmap(KeyPictureBitmap(k), kKeyPictureSize, kKeyPictureSize);
            } catch (const std::exception&) {
                // The tests decode every built-in picture, so this cannot
                // happen in a released game; if it did, the page would still show.
                picture = Surface(kKeyPictureSize, kKeyPictureSize, RGB(192, 192, 192));
            }
        }
        return all;
    }();
    return pictures[static_cast<std::size_t>(key)];
}

}  // namespace vorlax
