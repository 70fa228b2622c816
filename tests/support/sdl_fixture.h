// A fixture for the SDL backend on SDL's dummy video driver: real SDL windows
// and software surfaces without a screen. There is no real keyboard there, so
// input is pushed into SDL's event queue, where the window system would put it.
#pragma once

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/sdl_internal.h"
#include "platform/sdl_platform.h"

namespace vorlax::testing {

// Chooses the dummy driver for as long as it lives: the game started by a
// later end-to-end test must not inherit it.
class DummyVideo {
  public:
    DummyVideo() {
        if (const char* old = std::getenv("SDL_VIDEODRIVER")) saved_ = old;
        setenv("SDL_VIDEODRIVER", "dummy", 1);
    }
    ~DummyVideo() {
        if (saved_)
            setenv("SDL_VIDEODRIVER", saved_->c_str(), 1);
        else
            unsetenv("SDL_VIDEODRIVER");
    }
    DummyVideo(const DummyVideo&) = delete;
    DummyVideo& operator=(const DummyVideo&) = delete;

  private:
    std::optional<std::string> saved_;
};

// Shows `forms` in order, each logging its keys ("A113") and unload ("A gone") to `log`.
inline void ShowLogging(std::initializer_list<Form*> forms, std::vector<std::string>& log) {
    for (Form* f : forms) {
        const std::string name = f->Name();
        f->OnKeyDown = [&log, name](int k) { log.push_back(name + std::to_string(k)); };
        f->OnUnload = [&log, name] { log.push_back(name + " gone"); };
        f->Show();
    }
}

class SdlTest : public ::testing::Test {
  protected:
    ~SdlTest() override { platform.reset(); }  // also clears the current platform

    SdlPlatform& Start(Presentation presentation = {}) {
        platform = std::make_unique<SdlPlatform>(presentation);
        SetCurrentPlatform(platform.get());
        return *platform;
    }
    std::uint32_t WindowId(const Form& form) const {
        SDL_Window* w = platform->WindowOf(form);
        return w == nullptr ? 0 : SDL_GetWindowID(w);
    }

    static void Push(SDL_Event e) { ASSERT_EQ(SDL_PushEvent(&e), 1); }
    static void PushKey(SDL_Scancode scancode, std::uint32_t windowId = 0, bool repeat = false,
                        Uint16 mod = 0) {
        SDL_Event e{SDL_KEYDOWN};
        e.key.windowID = windowId;
        e.key.state = SDL_PRESSED;
        e.key.repeat = repeat ? 1 : 0;
        e.key.keysym = {scancode, SDL_GetKeyFromScancode(scancode), mod, 0};
        Push(e);
    }
    static void PushText(const std::string& utf8) {
        SDL_Event e{SDL_TEXTINPUT};
        std::snprintf(e.text.text, sizeof e.text.text, "%s", utf8.c_str());
        Push(e);
    }
    static void PushWindowEvent(std::uint32_t windowId, SDL_WindowEventID what) {
        SDL_Event e{SDL_WINDOWEVENT};
        e.window.windowID = windowId;
        e.window.event = what;
        Push(e);
    }

    // The folder holding Liberation Sans where the game looks for it (the
    // build copies it next to the executables), or "" when it is nowhere.
    std::string FontFolder() const {
        for (std::string dir : {std::string(), std::string(sdl::kSystemFontFolder)}) {
            if (dir.empty()) dir = platform ? platform->ProgramFolder() : std::string(".");
            if (std::filesystem::exists(dir + "/LiberationSans-Bold.ttf") &&
                std::filesystem::exists(dir + "/LiberationSans-Regular.ttf"))
                return dir;
        }
        return "";
    }

    DummyVideo video_;
    std::unique_ptr<SdlPlatform> platform;
};

}  // namespace vorlax::testing
