// VORLAX: starts the platform layer, then the game.
#include <cstdio>
#include <exception>
#include <memory>

#include "game/startup.h"
#include "platform/platform.h"
#include "platform/sdl_platform.h"

int main() {
    std::unique_ptr<vorlax::SdlPlatform> platform;
    try {
        platform = std::make_unique<vorlax::SdlPlatform>();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vorlax: %s\n", e.what());
        return 1;
    }
    vorlax::SetCurrentPlatform(platform.get());
    int status = 1;
    try {
        status = vorlax::RunGame();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vorlax: %s\n", e.what());
    }
    vorlax::SetCurrentPlatform(nullptr);
    return status;
}
