// End-to-end tests: the real game on a private Xvfb server, driven the way a
// player drives it. Keys go in through XTEST (xdotool); windows, the focus,
// pictures and the close box go through the test's own Xlib connection.
// Each test gets its own server and its own copy of the game's program
// folder. Everything started here runs in a process group of its own, is
// killed when the test ends, passed or failed, and dies with the test
// process (PR_SET_PDEATHSIG). Waits poll what the screen shows or what the
// process does, with limits generous enough for a loaded two-core machine.
// Suites are named E2E... so that the sanitizer run can leave them out.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

typedef struct _XDisplay Display;  // Xlib's, without its macros in every test

namespace vorlax::e2e {

namespace fs = std::filesystem;
using std::chrono::milliseconds;

inline constexpr milliseconds kLimit{20000};

// Polls `done` until it holds or `limit` has passed; tried at least once.
template <typename Pred>
bool WaitUntil(Pred done, milliseconds limit = kLimit, milliseconds interval = milliseconds{30}) {
    const auto end = std::chrono::steady_clock::now() + limit;
    for (;;) {
        if (done()) return true;
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(interval);
    }
}

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(Rgb, Rgb) = default;
};
struct Rect {
    int x = 0, y = 0, w = 0, h = 0;
};

// A window's picture, rows top to bottom.
struct Image {
    int width = 0, height = 0;
    std::vector<Rgb> pixels;
    Rgb At(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
    // Pixels of `area` (clipped to the picture) that match.
    int Count(const Rect& area, const std::function<bool(Rgb)>& match) const;
    int Count(const Rect& area, Rgb colour) const {
        return Count(area, [colour](Rgb c) { return c == colour; });
    }
};

// The game's window, its layout and colours as the player sees them.
inline constexpr int kClientWidth = 785;
inline constexpr int kClientHeight = 617;
inline constexpr Rect kTitle{184, 48, 417, 105};
inline constexpr Rect kStrip{0, 0, kClientWidth, 25};
inline constexpr Rect kSeparator{0, 25, kClientWidth, 1};
inline constexpr Rect kPlayField{0, 26, kClientWidth, kClientHeight - 26};
inline constexpr Rgb kBackground{1, 0, 1};
inline constexpr Rgb kYellow{255, 255, 0};
inline constexpr Rgb kWhite{255, 255, 255};

inline bool TitleDrawn(const Image& image) {
    return image.width == kClientWidth && image.Count(kTitle, kYellow) > 1000;
}
inline bool StripShown(const Image& image) {
    return image.width == kClientWidth && image.Count(kSeparator, kWhite) == kClientWidth &&
           image.Count(kStrip, kYellow) > 200;
}

class Process;  // a child in a process group of its own, killed with it

struct CommandResult {
    int status = -1;  // -1 when it had to be killed
    std::string out, err;
    bool Ok() const { return status == 0; }
};

std::string ReadFile(const fs::path& path);

struct WindowInfo {
    unsigned long id = 0;
    std::string title;
    int width = 0, height = 0;
    bool viewable = false;
};

// The X core fonts a server offers: SDL's message box needs some, and a bare
// machine (Xvfb without its recommended packages) has only the built-in two.
enum class CoreFonts { AsInstalled, BuiltInsOnly };

class GameOnXvfb : public ::testing::Test {
  protected:
    GameOnXvfb();
    ~GameOnXvfb() override;
    void SetUp() override;
    void TearDown() override;

    // A fresh X server (ending the game on the old one).
    void NewServer(CoreFonts fonts = CoreFonts::AsInstalled);
    // Stops the X server under the running game, as when the desktop
    // session ends (SIGTERM: in order, SIGKILL: it vanishes).
    bool StopServer(int signal);
    // This process's environment pointed at the server, SDL_VIDEODRIVER=x11.
    std::vector<std::string> Environment() const;
    // Runs a program found on PATH to its end; killed after `limit`.
    CommandResult Run(const std::vector<std::string>& argv, milliseconds limit = kLimit);

    // Starts the game with environment `settings` ("NAME=value"; "NAME="
    // unsets) and command-line `args`, from the private program folder or
    // another `executable`.
    void Launch(const std::vector<std::string>& settings = {}, const fs::path& executable = {},
                const std::vector<std::string>& args = {});
    // Launches, waits for the main window and the title screen.
    bool StartOnTitle(const std::vector<std::string>& settings = {},
                      const fs::path& executable = {});
    // Waits for the mapped window titled "VORLAX" of this size and focuses
    // it: the main window from then on.
    bool WaitForMainWindow(int width = kClientWidth, int height = kClientHeight);
    // A viewable window titled `title` (of this size unless 0); 0 when none
    // comes within `limit` or the game ends first.
    unsigned long WaitForWindow(const std::string& title, int width = 0, int height = 0,
                                milliseconds limit = kLimit);
    std::vector<WindowInfo> Windows() const;  // every named window, at any depth
    std::vector<WindowInfo> GameWindows() const;
    bool WindowGone(unsigned long id, milliseconds limit = kLimit) const;
    // Gives `id` the focus and checks it arrived.
    bool Focus(unsigned long id) const;
    // Waits until `id` has the focus.
    bool FocusOn(unsigned long id) const;
    // Asks the window to close as a window manager's close box does.
    bool CloseBox(unsigned long id) const;

    // Captures `window` (0: the main window) until `done` holds; the last
    // picture, with a failure noted, when it never does.
    Image WaitForPicture(const std::function<bool(const Image&)>& done, const std::string& what,
                         milliseconds limit = kLimit, unsigned long window = 0);

    // Keys by their X names, sent as real key events to the focused window.
    bool KeyDown(const std::string& key) { return Run({"xdotool", "keydown", key}).Ok(); }
    bool KeyUp(const std::string& key) { return Run({"xdotool", "keyup", key}).Ok(); }
    // The game polls held keys once a frame (11 ms): a tap holds a key for several.
    bool Tap(const std::string& key) {
        return KeyDown(key) && (std::this_thread::sleep_for(milliseconds{80}), KeyUp(key));
    }

    // Waits for the game to end; checks its status and that no window is left.
    void ExpectExit(int status, const std::string& after);
    void QuitWithEscape();
    std::string GameStderr() const { return ReadFile(root_ / "game.err"); }

    const fs::path& Root() const { return root_; }
    fs::path ProgramFolder() const { return root_ / "game"; }
    // The exit status (128 + signal when killed by one) once ended within `limit`.
    std::optional<int> WaitExit(milliseconds limit = kLimit);
    // Sends `signal` to the game alone; false once it has ended.
    bool SignalGame(int signal);
    unsigned long MainWindow() const { return mainWindow_; }

    // Set by a derived fixture's constructor: the screen and a window manager.
    int screenWidth_ = 1024, screenHeight_ = 768;
    bool windowManager_ = false;

  private:
    void CloseDisplay();
    unsigned long FocusedWindow() const;
    fs::path root_;
    std::unique_ptr<Process> xvfb_, wm_, game_;
    std::string displayName_;
    Display* display_ = nullptr;
    unsigned long mainWindow_ = 0;
    int commands_ = 0;
};

}  // namespace vorlax::e2e
