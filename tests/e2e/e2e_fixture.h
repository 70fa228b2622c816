// The fixture of the end-to-end tests: each test gets its own Xvfb server and
// its own copy of the game's program folder, and everything is torn down
// after it, passed or failed. Suites derived from it are named E2E... so that
// the sanitizer run can leave them out.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "e2e/xvfb_harness.h"

namespace vorlax::e2e {

// The game's window, its layout and colours as the player sees them.
inline constexpr int kClientWidth = 785;
inline constexpr int kClientHeight = 617;
inline constexpr Rect kTitle{184, 48, 417, 105};
inline constexpr Rect kStrip{0, 0, kClientWidth, 25};
inline constexpr Rect kSeparator{0, 25, kClientWidth, 1};
inline constexpr Rect kPlayField{0, 26, kClientWidth, kClientHeight - 26};
inline constexpr Rgb kBackground{1, 0, 1};
inline constexpr Rgb kYellow{255, 255, 0};
inline constexpr Rgb kLightGreen{128, 255, 128};
inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kWhite{255, 255, 255};
inline constexpr Rgb kShieldBlue{48, 32, 254};

// The title screen, and the play field under its head-up strip, at scale 1.
inline bool TitleDrawn(const Image& image) {
    return image.Width() == kClientWidth && image.Count(kTitle, kYellow) > 1000;
}
inline bool StripShown(const Image& image) {
    return image.Width() == kClientWidth && image.Count(kSeparator, kWhite) == kClientWidth &&
           image.Count(kStrip, kYellow) > 200;
}

// How to start the game: another executable (an installed one), arguments,
// and environment variables ("NAME=value"; "NAME=" unsets) set on top of the
// server's.
struct GameLaunch {
    std::filesystem::path executable;  // empty: the private program folder's
    std::vector<std::string> args;
    std::vector<std::string> env;
};

class GameOnXvfb : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the game from the private program folder (remove files first to
    // test failures).
    void Launch(const GameLaunch& launch = {});
    // Launches, waits for the main window (see WaitForMainWindow) and the
    // title screen; false, with a failure noted, when they do not come.
    bool StartOnTitle(const GameLaunch& launch = {});
    // StartOnTitle, then F2 and the head-up strip; the first picture of play.
    Image StartPlay();
    // Stops the X server under the running game (see Xvfb::Stop).
    bool StopServer(int signal) { return xvfb_->Stop(signal); }
    // A fresh X server for the next launch (after StopServer, or to choose
    // its fonts).
    void NewServer(CoreFonts fonts = CoreFonts::AsInstalled);
    // Waits for the window titled "VORLAX" of the given size to be mapped and
    // focuses it; the game's main window from then on.
    bool WaitForMainWindow(int width = kClientWidth, int height = kClientHeight);
    // A viewable window titled `title` (of the given size unless 0), 0 when
    // none comes within `limit` or the game ends first.
    unsigned long WaitForWindow(const std::string& title, int width = 0, int height = 0,
                                milliseconds limit = kLimit);
    // Every window titled "VORLAX", the game's own and its message box alike.
    std::vector<WindowInfo> GameWindows() const { return xvfb_->WindowsTitled("VORLAX"); }
    bool WindowGone(unsigned long id) const;
    // Waits until `id` has the keyboard focus.
    bool FocusOn(unsigned long id) const;

    // Captures `window` (0: the main window) until `done` holds for the
    // picture and returns it; the last picture, with a failure noted, when it
    // never does.
    Image WaitForPicture(const std::function<bool(const Image&)>& done, const std::string& what,
                         milliseconds limit = kLimit, unsigned long window = 0);
    Image Capture(unsigned long window = 0) {
        return WaitForPicture([](const Image&) { return true; }, "any picture", kLimit, window);
    }
    // Waits for the game to end and checks its status and that it left no window.
    void ExpectExit(int status, const std::string& after);
    // Presses Esc and checks that the game ends with status 0 and leaves no window.
    void QuitWithEscape();
    // The exit status once the game has ended within the limit.
    std::optional<int> WaitExit(milliseconds limit = kLimit) { return game_->WaitExit(limit); }
    std::string GameStderr() const;

    const Xvfb& X() const { return *xvfb_; }
    const GameFolder& Folder() const { return *folder_; }
    Process& Game() { return *game_; }
    unsigned long MainWindow() const { return mainWindow_; }

    // Set by a derived fixture's constructor, before SetUp: the screen's size
    // and whether a window manager runs on it.
    ScreenSize screen_;
    bool windowManager_ = false;

  private:
    std::unique_ptr<GameFolder> folder_;
    std::unique_ptr<Xvfb> xvfb_;
    std::unique_ptr<Process> game_;
    unsigned long mainWindow_ = 0;
};

}  // namespace vorlax::e2e
