// End-to-end harness: runs the real game on a private Xvfb server and drives
// it the way a player would. Keys go in through XTEST (xdotool), pictures come
// back through xwd (decoded by the game library's DecodeXwd), windows are found
// with xwininfo.
//
// Everything started here runs in its own process group and is killed when
// its owner goes out of scope, also when a test fails half-way; a child is
// also told to die with the test process (PR_SET_PDEATHSIG), so a crashed test
// leaves no Xvfb behind.
//
// Synchronisation is always by polling what the screen shows or what the
// process does, with generous limits: a loaded two-core machine can stall any
// of the processes involved for a second or more.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "raster/raster.h"

namespace vorlax::e2e {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Limits for waits on the screen and on processes. Only reached when
// something is wrong, so they can be generous.
inline constexpr milliseconds kStartLimit{20000};
inline constexpr milliseconds kLimit{15000};
// How long a tapped key is held: the game polls held keys once per frame
// (every 11 ms), so a key must stay down for a few frames to be seen.
inline constexpr milliseconds kKeyHold{80};

// Polls `done` every `interval` until it returns true or `limit` has passed;
// true when it succeeded. `done` is always tried at least once.
template <typename Pred>
bool WaitUntil(Pred done, milliseconds limit, milliseconds interval = milliseconds{20}) {
    const auto end = Clock::now() + limit;
    for (;;) {
        if (done()) return true;
        if (Clock::now() >= end) return false;
        std::this_thread::sleep_for(interval);
    }
}

// ---------------------------------------------------------------- pictures

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(Rgb, Rgb) = default;
};
std::ostream& operator<<(std::ostream& out, Rgb c);

struct Rect {
    int x = 0, y = 0, w = 0, h = 0;
    int Right() const { return x + w; }  // exclusive
    int Bottom() const { return y + h; }
    bool Empty() const { return w <= 0 || h <= 0; }
    bool Contains(int px, int py) const { return px >= x && px < x + w && py >= y && py < y + h; }
};
std::ostream& operator<<(std::ostream& out, const Rect& r);

// An RGB picture, 8 bits per channel, rows top to bottom: a raster Surface
// (as DecodeXwd makes it from a screenshot) read pixel by pixel as Rgb.
class Image {
  public:
    Image() = default;
    explicit Image(Surface pixels) : pixels_(std::move(pixels)) {}

    int Width() const { return pixels_.Width(); }
    int Height() const { return pixels_.Height(); }
    bool Empty() const { return Width() == 0 || Height() == 0; }
    Rect Bounds() const { return {0, 0, Width(), Height()}; }
    const Surface& Pixels() const { return pixels_; }
    Rgb At(int x, int y) const;
    friend bool operator==(const Image&, const Image&) = default;

    // Pixels of `area` (clipped to the picture) for which `match` holds.
    int CountIf(const Rect& area, const std::function<bool(Rgb)>& match) const;
    int Count(const Rect& area, Rgb colour) const;
    // The smallest rectangle holding every pixel of `area` for which `match`
    // holds; empty when there is none.
    Rect BoundingBox(const Rect& area, const std::function<bool(Rgb)>& match) const;

  private:
    Surface pixels_;
};

// ---------------------------------------------------------------- processes

struct CommandResult {
    int status = -1;  // exit status; 128 + signal when killed
    bool timedOut = false;
    std::string out, err;
    bool Ok() const { return status == 0 && !timedOut; }
};

struct LaunchOptions {
    std::vector<std::string> argv;                 // argv[0] is the path of the program
    std::vector<std::string> env;                  // the whole environment, "NAME=value"
    std::filesystem::path cwd;                     // empty: the current folder
    std::filesystem::path stdoutFile, stderrFile;  // empty: /dev/null
    int inheritFd = -1;                            // one further descriptor the child keeps open
};

// A child process in a process group of its own; the whole group is killed
// when the object goes away unless it has been reaped before.
class Process {
  public:
    explicit Process(const LaunchOptions& options);  // throws when it cannot start
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    // True until the child has ended (it is reaped then).
    bool Running();
    // The exit status (128 + signal when killed by one) once the child has
    // ended within `limit`; nothing when it is still running.
    std::optional<int> WaitExit(milliseconds limit);
    // Kills the whole group and reaps the child.
    void Kill();
    // Asks the group to end (SIGTERM), so that it can clean up after itself;
    // kills it when it has not ended within `grace`.
    void Terminate(milliseconds grace);
    // Sends `signal` to the child alone (not its group); false once it has ended.
    bool Signal(int signal);

  private:
    pid_t pid_ = -1;
    std::optional<int> status_;
};

// Runs a command to its end and collects its output; killed after `limit`.
CommandResult RunCommand(const std::vector<std::string>& argv, const std::vector<std::string>& env,
                         milliseconds limit = kLimit);

// ---------------------------------------------------------------- X

struct WindowInfo {
    unsigned long id = 0;
    std::string title;
    int width = 0, height = 0;
};

// The programs the harness needs, one line each for those missing; empty when
// all are there.
std::string MissingTools();

struct ScreenSize {
    int width = 1024;
    int height = 768;
};

// A private X server: Xvfb on a free display number (it picks one itself with
// -displayfd, so parallel test runs never collide), 1024x768 at 24 bits
// unless asked for another size, no TCP, and no reset when its last client
// leaves: a reset drops the connections being made meanwhile, and every
// xwininfo or xdotool the tests run is a client that comes and goes. Ended
// when the object goes away.
//
// Which X core fonts a server offers. SDL's own message box needs some; a
// bare Debian desktop (Xvfb without its recommended packages) has none but
// the two built into the server.
enum class CoreFonts {
    AsInstalled,   // whatever the machine's font path holds
    BuiltInsOnly,  // "fixed" and "cursor" alone, as on a bare machine
};

class Xvfb {
  public:
    // Throws std::runtime_error (with the server's own output) when the server
    // does not come up. `logFile` receives the server's output.
    explicit Xvfb(const std::filesystem::path& logFile, ScreenSize screen = {},
                  CoreFonts fonts = CoreFonts::AsInstalled);
    ~Xvfb();
    Xvfb(const Xvfb&) = delete;
    Xvfb& operator=(const Xvfb&) = delete;

    const std::string& Display() const { return display_; }
    // Stops the server with `signal` (SIGTERM: it shuts down in order, SIGKILL:
    // it vanishes) and waits for it to be gone, as when a desktop session ends
    // under its programs. True when it ended within the limit.
    bool Stop(int signal);
    // This process's environment pointed at this server: DISPLAY set,
    // SDL_VIDEODRIVER=x11 (never an inherited dummy driver), and nothing that
    // would make the game write a frame log or choose its kind of message box.
    std::vector<std::string> Environment() const;
    CommandResult Run(std::vector<std::string> argv, milliseconds limit = kLimit) const;

    std::vector<WindowInfo> Windows() const;
    std::vector<WindowInfo> WindowsTitled(const std::string& title) const;
    bool IsViewable(unsigned long window) const;
    // The window that has the keyboard focus, 0 when none can be read.
    unsigned long FocusedWindow() const;
    // Gives `window` the keyboard focus and checks it arrived; false when it
    // did not within the limit.
    bool Focus(unsigned long window, milliseconds limit = kLimit) const;
    // The window's contents (its client area: no window manager, no frame);
    // nothing when xwd cannot read it (not mapped yet, gone).
    std::optional<Image> Capture(unsigned long window, std::string* error = nullptr) const;

    // Keys by their X names ("F2", "Right", "space", "p", "Escape", "Return"),
    // sent as real key events to whichever window has the focus.
    bool KeyDown(const std::string& key) const;
    bool KeyUp(const std::string& key) const;
    // Presses and releases a key, holding it for `hold`.
    bool Tap(const std::string& key, milliseconds hold = kKeyHold) const;
    // Asks the window to close as a window manager's close box does
    // (WM_DELETE_WINDOW).
    bool CloseBox(unsigned long window) const;

    // Starts a window manager (openbox) on this server and waits until it
    // manages the screen; needed for fullscreen, which a window asks of its
    // window manager. `home` becomes its HOME (it keeps a cache there).
    // Throws std::runtime_error when it does not come up.
    void StartWindowManager(const std::filesystem::path& home);

  private:
    std::string display_;
    std::optional<Process> server_;
    std::optional<Process> windowManager_;
};

// A private copy of the game's program folder (executable, bitmaps, fonts,
// Hiscore.txt) in a fresh temporary folder, removed again at the end. Tests
// can remove or change files there without touching the build.
class GameFolder {
  public:
    // Copies from the folder of `binary`; throws when something needed is missing.
    explicit GameFolder(const std::filesystem::path& binary);
    ~GameFolder();
    GameFolder(const GameFolder&) = delete;
    GameFolder& operator=(const GameFolder&) = delete;

    // The temporary folder; the program folder is its sub-folder "game".
    const std::filesystem::path& Root() const { return root_; }
    std::filesystem::path ProgramFolder() const { return root_ / "game"; }
    std::filesystem::path Executable() const { return ProgramFolder() / "vorlax"; }
    void Remove(const std::string& file) const;

  private:
    std::filesystem::path root_;
};

// Reads a whole file; empty when it cannot be read.
std::string ReadFile(const std::filesystem::path& path);

}  // namespace vorlax::e2e
