#include "graphics/sprites.h"

#include <map>
#include <memory>

#include "core/errors.h"
#include "raster/bitmap_file.h"

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

SurfaceHandle LoadSpriteDC(const std::string& path, int width, int height) {
    try {
        return AdoptSurface(ReadBitmapFile(path, width, height));
    } catch (const BitmapError& error) {
        FailLoad(path, error.what());
    }
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
