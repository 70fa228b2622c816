#include "graphics/sprites.h"

#include <SDL.h>

#include <map>
#include <memory>

#include "core/errors.h"

namespace vorlax {
namespace {

// Handles count up from 1 and are never reused, so a stale handle can never
// reach another sprite's surface.
std::map<SurfaceHandle, std::unique_ptr<Surface>>& Registry() {
    static std::map<SurfaceHandle, std::unique_ptr<Surface>> registry;
    return registry;
}
SurfaceHandle nextHandle = 1;

[[noreturn]] void FailLoad(const std::string& path, const std::string& why) {
    throw GameError(kErrBitmapLoad, "Cannot load the bitmap \"" + path + "\": " + why);
}

}  // namespace

SurfaceHandle AdoptSurface(Surface surface) {
    SurfaceHandle handle = nextHandle++;
    Registry().emplace(handle, std::make_unique<Surface>(std::move(surface)));
    return handle;
}

SurfaceHandle LoadSpriteDC(const std::string& path) {
    SDL_RWops* file = SDL_RWFromFile(path.c_str(), "rb");
    if (file == nullptr) FailLoad(path, "the file is missing or cannot be opened");
    SDL_Surface* loaded = SDL_LoadBMP_RW(file, 1);
    if (loaded == nullptr)
        FailLoad(path, std::string("not a readable bitmap (") + SDL_GetError() + ")");
    // Convert once to 32-bit pixels whose value is the game's Colour
    // (red in the low byte), so drawing never converts again.
    SDL_Surface* converted = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_XBGR8888, 0);
    SDL_FreeSurface(loaded);
    if (converted == nullptr) FailLoad(path, SDL_GetError());
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
    return AdoptSurface(std::move(surface));
}

Long FreeSpriteDC(SurfaceHandle& surface) {
    if (surface <= 0) return 0;
    auto& registry = Registry();
    auto it = registry.find(surface);
    // A stale handle (its surface freed through another copy of it) releases
    // nothing, but the variable is still left at 0: it holds no surface.
    surface = 0;
    if (it == registry.end()) return 0;
    registry.erase(it);
    return 1;
}

Surface* SurfaceOf(SurfaceHandle handle) {
    if (handle <= 0) return nullptr;
    auto& registry = Registry();
    auto it = registry.find(handle);
    return it == registry.end() ? nullptr : it->second.get();
}

int LiveSurfaceCount() {
    return static_cast<int>(Registry().size());
}

void DrawMasked(Surface& dst, int x, int y, int w, int h, SurfaceHandle picture,
                SurfaceHandle mask) {
    BitBlt(dst, x, y, w, h, SurfaceOf(mask), 0, 0, SRCAND);
    BitBlt(dst, x, y, w, h, SurfaceOf(picture), 0, 0, SRCPAINT);
}

}  // namespace vorlax
