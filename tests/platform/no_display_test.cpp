// The message for a display that cannot be opened names it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>
#include <string>

#include "platform/sdl_platform.h"

namespace vorlax {
namespace {

std::string StartError() {
    try {
        SdlPlatform platform;
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "";
}

TEST(NoDisplay, TheMessageNamesTheDisplayThatCouldNotBeOpenedOrSaysNoneIsSet) {
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    const char* display = std::getenv("DISPLAY");
    const std::string savedDriver = driver ? driver : "", savedDisplay = display ? display : "";
    unsetenv("SDL_VIDEODRIVER");
    unsetenv("WAYLAND_DISPLAY");
    setenv("DISPLAY", ":4711", 1);
    EXPECT_NE(StartError().find("cannot open the display \":4711\""), std::string::npos);
    unsetenv("DISPLAY");
    EXPECT_NE(StartError().find("DISPLAY is not set"), std::string::npos);
    if (driver) setenv("SDL_VIDEODRIVER", savedDriver.c_str(), 1);
    if (display) setenv("DISPLAY", savedDisplay.c_str(), 1);
}

}  // namespace
}  // namespace vorlax
