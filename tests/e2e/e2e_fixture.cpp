#include "e2e/e2e_fixture.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace vorlax::e2e {

int Image::Count(const Rect& area, const std::function<bool(Rgb)>& match) const {
    int n = 0;
    for (int y = std::max(area.y, 0); y < std::min(area.y + area.h, height); ++y)
        for (int x = std::max(area.x, 0); x < std::min(area.x + area.w, width); ++x)
            n += match(At(x, y)) ? 1 : 0;
    return n;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// ---------------------------------------------------------------- processes

class Process {
  public:
    Process(const std::vector<std::string>& argv, const std::vector<std::string>& env,
            const fs::path& out, const fs::path& err, int keepFd = -1, const fs::path& cwd = {}) {
        // Everything the child needs is made before fork: it may only make system calls.
        std::vector<char*> args, envp;
        for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        for (const std::string& e : env) envp.push_back(const_cast<char*>(e.c_str()));
        args.push_back(nullptr), envp.push_back(nullptr);
        const std::string folder = cwd.string();
        const int in = open("/dev/null", O_RDONLY | O_CLOEXEC);
        const int o = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        const int e = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        const pid_t parent = getpid();
        pid_ = in < 0 || o < 0 || e < 0 ? -1 : fork();
        if (pid_ == 0) {
            setpgid(0, 0);
            prctl(PR_SET_PDEATHSIG, SIGKILL);
            if (getppid() != parent) _exit(127);  // the test died in between
            if ((folder.empty() || chdir(folder.c_str()) == 0) && dup2(in, 0) >= 0 &&
                dup2(o, 1) >= 0 && dup2(e, 2) >= 0 &&
                (keepFd < 0 || fcntl(keepFd, F_SETFD, 0) == 0))
                execvpe(args[0], args.data(), envp.data());
            _exit(127);
        }
        for (int fd : {in, o, e})
            if (fd >= 0) close(fd);
        if (pid_ < 0) throw std::runtime_error("cannot start " + argv.at(0));
        setpgid(pid_, pid_);  // also here, so a kill right away finds the group
    }
    ~Process() {
        if (!Running()) return;
        kill(-pid_, SIGKILL);
        int raw = 0;
        while (waitpid(pid_, &raw, 0) < 0 && errno == EINTR) {
        }
    }
    bool Running() {
        int raw = 0;
        const pid_t r = status_ ? 0 : waitpid(pid_, &raw, WNOHANG);
        if (r == pid_) {
            status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
            kill(-pid_, SIGKILL);  // whatever it left behind in its group
        } else if (r < 0 && errno != EINTR) {
            status_ = -1;  // not our child any more
        }
        return !status_;
    }
    std::optional<int> WaitExit(milliseconds limit = kLimit) {
        WaitUntil([&] { return !Running(); }, limit, milliseconds{10});
        return status_;
    }
    bool Signal(int signal) { return Running() && kill(pid_, signal) == 0; }

  private:
    pid_t pid_ = -1;
    std::optional<int> status_;
};

// ---------------------------------------------------------------- X

namespace {

// An X error (a window gone while it was asked about) fails that request alone.
int IgnoreXError(Display*, XErrorEvent*) {
    return 0;
}

// A window's property as bytes; empty when it has none.
std::string Property(Display* display, Window window, const char* name) {
    Atom type = 0;
    int format = 0;
    unsigned long n = 0, after = 0;
    unsigned char* value = nullptr;
    XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, 256, False,
                       AnyPropertyType, &type, &format, &n, &after, &value);
    std::string bytes(reinterpret_cast<char*>(value), value != nullptr ? n * format / 8 : 0);
    if (value != nullptr) XFree(value);
    return bytes;
}

void WalkWindows(Display* display, Window window, std::vector<WindowInfo>& out) {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(display, window, &root, &parent, &children, &count) == 0) return;
    for (unsigned int i = 0; i < count; ++i) {
        // Titles in UTF-8, as SDL (its message box too) names its windows.
        WindowInfo w{children[i], Property(display, children[i], "_NET_WM_NAME"), 0, 0, false};
        XWindowAttributes a{};
        if (!w.title.empty() && XGetWindowAttributes(display, w.id, &a) != 0) {
            w.width = a.width, w.height = a.height, w.viewable = a.map_state == IsViewable;
            out.push_back(w);
        }
        WalkWindows(display, children[i], out);
    }
    if (children != nullptr) XFree(children);
}

}  // namespace

void GameOnXvfb::SetUp() {
    std::string pattern = (fs::temp_directory_path() / "vorlax-e2e-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
    // A private copy of the program folder: tests may remove or change files.
    const fs::path built = fs::path(VORLAX_BINARY).parent_path();
    fs::create_directory(ProgramFolder());
    for (const auto& entry : fs::directory_iterator(built)) {
        const std::string name = entry.path().filename().string();
        if (entry.path().extension() == ".bmp" || name.starts_with("LiberationSans-") ||
            name == "Hiscore.txt" || name == "vorlax")
            fs::copy_file(entry.path(), ProgramFolder() / name);
    }
    ASSERT_TRUE(fs::exists(ProgramFolder() / "Hiscore.txt")) << "the game is not built";
    XSetErrorHandler(IgnoreXError);
    NewServer();
}

GameOnXvfb::GameOnXvfb() = default;
GameOnXvfb::~GameOnXvfb() = default;

std::optional<int> GameOnXvfb::WaitExit(milliseconds limit) {
    return game_->WaitExit(limit);
}

bool GameOnXvfb::SignalGame(int signal) {
    return game_->Signal(signal);
}

void GameOnXvfb::TearDown() {
    if (HasFailure() && display_ != nullptr) {
        std::cerr << "--- the game's stderr:\n"
                  << GameStderr() << "--- the game "
                  << (game_ && game_->Running() ? "still runs" : "has ended") << "; windows:\n";
        for (const WindowInfo& w : Windows())
            std::cerr << "  0x" << std::hex << w.id << std::dec << " \"" << w.title << "\" "
                      << w.width << "x" << w.height << (w.viewable ? " viewable\n" : "\n");
    }
    game_.reset();
    CloseDisplay();
    wm_.reset();
    if (xvfb_ && xvfb_->Signal(SIGTERM)) xvfb_->WaitExit(milliseconds{3000});  // removes its socket
    xvfb_.reset();
    std::error_code ignored;
    fs::remove_all(root_, ignored);
}

void GameOnXvfb::CloseDisplay() {
    if (display_ != nullptr) XCloseDisplay(display_);
    display_ = nullptr;
}

void GameOnXvfb::NewServer(CoreFonts fonts) {
    game_.reset();
    wm_.reset();
    CloseDisplay();
    xvfb_.reset();
    mainWindow_ = 0;
    // Xvfb picks a free display itself and names it in a file: parallel runs
    // never collide. No reset when its last client leaves.
    const fs::path number = root_ / "display";
    const int fd = open(number.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    std::vector<std::string> argv = {"Xvfb", "-displayfd", std::to_string(fd), "-nolisten",
                                     "tcp",  "-noreset",   "-screen",          "0"};
    argv.push_back(std::to_string(screenWidth_) + "x" + std::to_string(screenHeight_) + "x24");
    if (fonts == CoreFonts::BuiltInsOnly) argv.insert(argv.end(), {"-fp", "built-ins"});
    xvfb_ =
        std::make_unique<Process>(argv, Environment(), root_ / "xvfb.out", root_ / "xvfb.err", fd);
    close(fd);
    WaitUntil([&] { return ReadFile(number).ends_with('\n') || !xvfb_->Running(); });
    displayName_ = ":" + ReadFile(number).substr(0, ReadFile(number).find('\n'));
    display_ = XOpenDisplay(displayName_.c_str());
    if (display_ == nullptr)  // CI must not pass by skipping: without Xvfb these tests fail
        throw std::runtime_error("Xvfb (Debian package xvfb) did not start: " +
                                 ReadFile(root_ / "xvfb.err"));
    if (!windowManager_) return;
    // openbox, for fullscreen, which a window asks of its window manager.
    fs::create_directories(root_ / "wm");
    std::vector<std::string> env = Environment();
    env.insert(env.begin(), "HOME=" + (root_ / "wm").string());  // the first one counts
    wm_ = std::make_unique<Process>(std::vector<std::string>{"openbox", "--sm-disable"}, env,
                                    root_ / "wm.out", root_ / "wm.err");
    // It announces itself on the root window once it manages new windows
    // (its own window is named earlier: a game started then may never show).
    if (!WaitUntil([&] {
            return !Property(display_, DefaultRootWindow(display_), "_NET_SUPPORTING_WM_CHECK")
                        .empty();
        }))
        throw std::runtime_error("openbox did not start: " + ReadFile(root_ / "wm.err"));
}

bool GameOnXvfb::StopServer(int signal) {
    CloseDisplay();  // a lost connection would end the test process too
    return xvfb_->Signal(signal) && xvfb_->WaitExit().has_value();
}

std::vector<std::string> GameOnXvfb::Environment() const {
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string_view v(*e);  // nothing of a frame log or a kind of message box
        if (!v.starts_with("DISPLAY=") && !v.starts_with("SDL_VIDEODRIVER=") &&
            !v.starts_with("VORLAX_"))
            env.emplace_back(v);
    }
    env.push_back("DISPLAY=" + displayName_);
    env.push_back("SDL_VIDEODRIVER=x11");  // never an inherited dummy driver
    return env;
}

CommandResult GameOnXvfb::Run(const std::vector<std::string>& argv, milliseconds limit) {
    const fs::path out = root_ / ("run" + std::to_string(++commands_));
    Process p(argv, Environment(), out.string() + ".out", out.string() + ".err");
    const std::optional<int> status = p.WaitExit(limit);
    return {status.value_or(-1), ReadFile(out.string() + ".out"), ReadFile(out.string() + ".err")};
}

void GameOnXvfb::Launch(const std::vector<std::string>& settings, const fs::path& executable,
                        const std::vector<std::string>& args) {
    const fs::path program = executable.empty() ? ProgramFolder() / "vorlax" : executable;
    std::vector<std::string> env = Environment();
    for (const std::string& setting : settings) {
        const std::string name = setting.substr(0, setting.find('=') + 1);
        std::erase_if(env, [&](const std::string& v) { return v.starts_with(name); });
        if (!setting.ends_with('=')) env.push_back(setting);
    }
    game_.reset();
    mainWindow_ = 0;
    // Not started in the program folder: the game must find its files itself.
    std::vector<std::string> argv{program};
    argv.insert(argv.end(), args.begin(), args.end());
    game_ = std::make_unique<Process>(argv, env, root_ / "game.out", root_ / "game.err", -1, root_);
}

bool GameOnXvfb::StartOnTitle(const std::vector<std::string>& settings,
                              const fs::path& executable) {
    Launch(settings, executable);
    if (!WaitForMainWindow()) return false;
    return TitleDrawn(WaitForPicture(TitleDrawn, "the title screen"));
}

bool GameOnXvfb::WaitForMainWindow(int width, int height) {
    mainWindow_ = WaitForWindow("VORLAX", width, height);
    EXPECT_NE(mainWindow_, 0u) << "no " << width << "x" << height << " window titled VORLAX";
    // A new window takes the focus itself; make sure of it, keys go to the focus.
    EXPECT_TRUE(mainWindow_ == 0 || Focus(mainWindow_)) << "the game's window took no focus";
    return mainWindow_ != 0 && !HasFailure();
}

unsigned long GameOnXvfb::WaitForWindow(const std::string& title, int width, int height,
                                        milliseconds limit) {
    unsigned long id = 0;
    WaitUntil(
        [&] {
            for (const WindowInfo& w : Windows())
                if (w.title == title && w.viewable &&
                    (width == 0 || (w.width == width && w.height == height)))
                    id = w.id;
            return id != 0 || !game_->Running();  // no use waiting for a program that ended
        },
        limit);
    return id;
}

std::vector<WindowInfo> GameOnXvfb::Windows() const {
    std::vector<WindowInfo> all;
    WalkWindows(display_, DefaultRootWindow(display_), all);
    return all;
}

std::vector<WindowInfo> GameOnXvfb::GameWindows() const {
    std::vector<WindowInfo> all = Windows();
    std::erase_if(all, [](const WindowInfo& w) { return w.title != "VORLAX"; });
    return all;
}

bool GameOnXvfb::WindowGone(unsigned long id, milliseconds limit) const {
    return WaitUntil(
        [&] {
            const std::vector<WindowInfo> all = Windows();
            return std::none_of(all.begin(), all.end(),
                                [&](const WindowInfo& w) { return w.id == id && w.viewable; });
        },
        limit);
}

unsigned long GameOnXvfb::FocusedWindow() const {
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(display_, &focus, &revert);
    return focus;
}

bool GameOnXvfb::Focus(unsigned long id) const {
    return WaitUntil([&] {
        XSetInputFocus(display_, id, RevertToParent, CurrentTime);
        XSync(display_, False);
        return FocusedWindow() == id;
    });
}

bool GameOnXvfb::FocusOn(unsigned long id) const {
    return WaitUntil([&] { return FocusedWindow() == id; });
}

bool GameOnXvfb::CloseBox(unsigned long id) const {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = id;
    event.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display_, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    const bool sent = XSendEvent(display_, id, False, NoEventMask, &event) != 0;
    XSync(display_, False);
    return sent;
}

Image GameOnXvfb::WaitForPicture(const std::function<bool(const Image&)>& done,
                                 const std::string& what, milliseconds limit,
                                 unsigned long window) {
    Image last;
    const bool seen = WaitUntil(
        [&] {
            // Fails while the window is not mapped yet or being resized.
            XWindowAttributes a{};
            const Window id = window != 0 ? window : mainWindow_;
            if (XGetWindowAttributes(display_, id, &a) == 0) return false;
            XImage* shot = XGetImage(display_, id, 0, 0, static_cast<unsigned>(a.width),
                                     static_cast<unsigned>(a.height), AllPlanes, ZPixmap);
            if (shot == nullptr) return false;
            last = {a.width, a.height, {}};
            for (int y = 0; y < a.height; ++y)  // the server's 24-bit pixels: 0xRRGGBB
                for (int x = 0; x < a.width; ++x) {
                    const unsigned long p = XGetPixel(shot, x, y);
                    last.pixels.push_back(
                        {std::uint8_t(p >> 16), std::uint8_t(p >> 8), std::uint8_t(p)});
                }
            XDestroyImage(shot);
            return done(last);
        },
        limit);
    EXPECT_TRUE(seen) << "the window never showed " << what;
    return last;
}

void GameOnXvfb::ExpectExit(int status, const std::string& after) {
    const std::optional<int> ended = game_->WaitExit();
    ASSERT_TRUE(ended.has_value()) << "the game did not end after " << after;
    EXPECT_EQ(*ended, status) << "after " << after;
    // The server notices a closed connection a moment after the process ended.
    EXPECT_TRUE(WaitUntil([&] { return GameWindows().empty(); }))
        << "a window was left after " << after;
}

void GameOnXvfb::QuitWithEscape() {
    ASSERT_TRUE(Tap("Escape"));
    ExpectExit(0, "Esc");
}

}  // namespace vorlax::e2e
