// The fixture of the end-to-end tests: each test gets its own Xvfb server and
// its own copy of the game's program folder, and everything is torn down
// after it, passed or failed. Suites derived from it are named E2E... so that
// the sanitizer run can leave them out.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "e2e/xvfb_harness.h"

namespace vorlax::e2e {

// The game's window and colours as the player sees them.
inline constexpr int kClientWidth = 785;
inline constexpr int kClientHeight = 617;
inline constexpr Rgb kBackground{1, 0, 1};
inline constexpr Rgb kYellow{255, 255, 0};
inline constexpr Rgb kLightGreen{128, 255, 128};
inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kWhite{255, 255, 255};
inline constexpr Rgb kShotRed{252, 55, 34};
inline constexpr Rgb kShieldBlue{48, 32, 254};

// How to start the game: another executable (an installed one), arguments,
// and environment variables ("NAME=value") set on top of the server's.
struct LaunchSpec {
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
    void Launch(const LaunchSpec& spec = {});
    // Stops the X server under the running game (see Xvfb::Stop).
    bool StopServer(int signal) { return xvfb_->Stop(signal); }
    // A fresh X server for the next launch (after StopServer, or to choose
    // its fonts).
    void NewServer(CoreFonts fonts = CoreFonts::AsInstalled);
    // Waits for the window titled "VORLAX" of the given size (the 785x617
    // client area at scale 1 unless told) to be mapped and focuses it.
    std::optional<WindowInfo> WaitForMainWindow(int width = kClientWidth,
                                                int height = kClientHeight);
    // Every window titled "VORLAX", the game's own and its message box alike.
    std::vector<WindowInfo> GameWindows() const { return xvfb_->WindowsTitled("VORLAX"); }
    bool NoGameWindowLeft() const;

    // A picture of the main window; empty (and a failure noted) when it cannot
    // be taken.
    Image Capture();
    // Captures until `done` holds for the picture and returns it; the last
    // picture, with a failure noted, when it never does.
    Image WaitForPicture(const std::function<bool(const Image&)>& done, const std::string& what,
                         milliseconds limit = kScreenLimit);
    // Presses Esc and checks that the game ends with status 0 and leaves no window.
    void QuitWithEscape();
    // The exit status once the game has ended within the limit.
    std::optional<int> WaitExit(milliseconds limit = kExitLimit) { return game_->WaitExit(limit); }
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
