#include "graphics/bitmap_bytes.h"

#include <SDL.h>

#include "core/errors.h"

namespace vorlax {

Surface DecodeBitmap(std::span<const std::uint8_t> bytes, const std::string& what) {
    auto fail = [&](const std::string& why) -> Surface {
        throw GameError(kErrBitmapLoad, "Cannot read the bitmap \"" + what + "\": " + why);
    };
    SDL_RWops* in = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
    if (in == nullptr) return fail(SDL_GetError());
    SDL_Surface* loaded = SDL_LoadBMP_RW(in, 1);
    if (loaded == nullptr) return fail(SDL_GetError());
    // 32-bit pixels whose value is the game's Colour (red in the low byte).
    SDL_Surface* converted = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_XBGR8888, 0);
    SDL_FreeSurface(loaded);
    if (converted == nullptr) return fail(SDL_GetError());
    Surface surface(converted->w, converted->h);
    if (SDL_LockSurface(converted) == 0) {
        for (int y = 0; y < converted->h; ++y) {
            const auto* src = reinterpret_cast<const std::uint32_t*>(
                static_cast<const std::uint8_t*>(converted->pixels) + y * converted->pitch);
            std::uint32_t* dst = surface.Row(y);
            for (int x = 0; x < converted->w; ++x) dst[x] = src[x] & 0xFFFFFFu;
        }
        SDL_UnlockSurface(converted);
    }
    SDL_FreeSurface(converted);
    return surface;
}

}  // namespace vorlax
