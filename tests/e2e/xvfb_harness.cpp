#include "e2e/xvfb_harness.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <ostream>
#include <sstream>
#include <stdexcept>

#include "raster/image_files.h"

extern char** environ;

namespace vorlax::e2e {

namespace fs = std::filesystem;

// ---------------------------------------------------------------- pictures

std::ostream& operator<<(std::ostream& out, Rgb c) {
    return out << "RGB(" << int{c.r} << ", " << int{c.g} << ", " << int{c.b} << ")";
}

std::ostream& operator<<(std::ostream& out, const Rect& r) {
    return out << "(" << r.x << ", " << r.y << ", " << r.w << "x" << r.h << ")";
}

Rgb Image::At(int x, int y) const {
    const Colour c = pixels_.Pixel(x, y);
    return {static_cast<std::uint8_t>(RedOf(c)), static_cast<std::uint8_t>(GreenOf(c)),
            static_cast<std::uint8_t>(BlueOf(c))};
}

namespace {

Rect Clip(const Rect& area, int width, int height) {
    const int x0 = std::max(area.x, 0), y0 = std::max(area.y, 0);
    const int x1 = std::min(area.Right(), width), y1 = std::min(area.Bottom(), height);
    if (x1 <= x0 || y1 <= y0) return {};
    return {x0, y0, x1 - x0, y1 - y0};
}

}  // namespace

int Image::CountIf(const Rect& area, const std::function<bool(Rgb)>& match) const {
    const Rect a = Clip(area, Width(), Height());
    int n = 0;
    for (int y = a.y; y < a.Bottom(); ++y)
        for (int x = a.x; x < a.Right(); ++x) n += match(At(x, y)) ? 1 : 0;
    return n;
}

int Image::Count(const Rect& area, Rgb colour) const {
    return CountIf(area, [colour](Rgb c) { return c == colour; });
}

Rect Image::BoundingBox(const Rect& area, const std::function<bool(Rgb)>& match) const {
    const Rect a = Clip(area, Width(), Height());
    int x0 = a.Right(), y0 = a.Bottom(), x1 = a.x - 1, y1 = a.y - 1;
    for (int y = a.y; y < a.Bottom(); ++y) {
        for (int x = a.x; x < a.Right(); ++x) {
            if (!match(At(x, y))) continue;
            x0 = std::min(x0, x);
            x1 = std::max(x1, x);
            y0 = std::min(y0, y);
            y1 = std::max(y1, y);
        }
    }
    if (x1 < x0) return {};
    return {x0, y0, x1 - x0 + 1, y1 - y0 + 1};
}

// ---------------------------------------------------------------- processes

namespace {

// The full path of `name` found on PATH, empty when it is not there.
std::string FindProgram(const std::string& name) {
    if (name.find('/') != std::string::npos) return access(name.c_str(), X_OK) == 0 ? name : "";
    const char* path = std::getenv("PATH");
    std::string dirs = path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin";
    std::size_t start = 0;
    for (;;) {
        const std::size_t colon = dirs.find(':', start);
        std::string dir = dirs.substr(start, colon == std::string::npos ? colon : colon - start);
        if (dir.empty()) dir = ".";
        const std::string candidate = dir + "/" + name;
        if (access(candidate.c_str(), X_OK) == 0 && !fs::is_directory(candidate)) return candidate;
        if (colon == std::string::npos) return "";
        start = colon + 1;
    }
}

int DecodeStatus(int raw) {
    if (WIFEXITED(raw)) return WEXITSTATUS(raw);
    if (WIFSIGNALED(raw)) return 128 + WTERMSIG(raw);
    return -1;
}

std::vector<char*> CStrings(const std::vector<std::string>& strings) {
    std::vector<char*> out;
    for (const std::string& s : strings) out.push_back(const_cast<char*>(s.c_str()));
    out.push_back(nullptr);
    return out;
}

// Forks a child in its own process group that dies with us. `setup` runs in the
// child before exec (async-signal-safe calls only); on failure the child exits 127.
template <typename Setup>
pid_t Spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env,
            Setup setup) {
    if (argv.empty()) throw std::runtime_error("nothing to run");
    // Everything the child needs is prepared before fork.
    std::vector<char*> args = CStrings(argv);
    std::vector<char*> envp = CStrings(env);
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid < 0) throw std::runtime_error(std::string("fork: ") + std::strerror(errno));
    if (pid == 0) {
        setpgid(0, 0);
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent) _exit(127);  // the test died in between
        if (!setup()) _exit(127);
        execve(args[0], args.data(), envp.data());
        _exit(127);
    }
    setpgid(pid, pid);  // also here, so a kill right away finds the group
    return pid;
}

int OpenForChild(const fs::path& file) {
    return file.empty() ? open("/dev/null", O_WRONLY | O_CLOEXEC)
                        : open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
}

void KillGroup(pid_t pid) {
    if (pid > 0) {
        kill(-pid, SIGKILL);
        kill(pid, SIGKILL);
    }
}

}  // namespace

Process::Process(const LaunchOptions& options) {
    const int out = OpenForChild(options.stdoutFile);
    const int err = OpenForChild(options.stderrFile);
    const int in = open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (out < 0 || err < 0 || in < 0) {
        for (int fd : {out, err, in})
            if (fd >= 0) close(fd);
        throw std::runtime_error("cannot open the output files of " + options.argv.at(0));
    }
    const std::string cwd = options.cwd.string();
    const int keep = options.inheritFd;
    try {
        pid_ = Spawn(options.argv, options.env, [&] {
            if (!cwd.empty() && chdir(cwd.c_str()) != 0) return false;
            if (dup2(in, 0) < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0) return false;
            if (keep >= 0 && fcntl(keep, F_SETFD, 0) != 0) return false;
            return true;
        });
    } catch (...) {
        close(out), close(err), close(in);
        throw;
    }
    close(out), close(err), close(in);
}

Process::~Process() {
    Kill();
}

bool Process::Running() {
    if (status_) return false;
    int raw = 0;
    const pid_t r = waitpid(pid_, &raw, WNOHANG);
    if (r == pid_) {
        status_ = DecodeStatus(raw);
        kill(-pid_, SIGKILL);  // anything the child left behind in its group
        return false;
    }
    if (r < 0 && errno != EINTR) {
        status_ = -1;  // not our child any more: nothing to wait for
        return false;
    }
    return true;
}

std::optional<int> Process::WaitExit(milliseconds limit) {
    WaitUntil([&] { return !Running(); }, limit, milliseconds{10});
    return status_;
}

void Process::Kill() {
    if (pid_ <= 0 || status_) return;
    KillGroup(pid_);
    int raw = 0;
    while (waitpid(pid_, &raw, 0) < 0 && errno == EINTR) {
    }
    status_ = DecodeStatus(raw);
}

void Process::Terminate(milliseconds grace) {
    if (pid_ <= 0 || status_) return;
    kill(-pid_, SIGTERM);
    if (!WaitExit(grace)) Kill();
}

bool Process::Signal(int signal) {
    if (pid_ <= 0 || !Running()) return false;
    return kill(pid_, signal) == 0;
}

CommandResult RunCommand(const std::vector<std::string>& argv, const std::vector<std::string>& env,
                         milliseconds limit) {
    CommandResult result;
    std::vector<std::string> args = argv;
    const std::string path = FindProgram(args.at(0));
    if (path.empty()) {
        result.status = 127;
        result.err = args[0] + ": not found on PATH";
        return result;
    }
    args[0] = path;
    int outPipe[2], errPipe[2];
    if (pipe2(outPipe, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    if (pipe2(errPipe, O_CLOEXEC) != 0) {
        close(outPipe[0]), close(outPipe[1]);
        throw std::runtime_error("pipe failed");
    }
    const int in = open("/dev/null", O_RDONLY | O_CLOEXEC);
    pid_t pid = -1;
    try {
        pid = Spawn(args, env, [&] {
            return dup2(in, 0) >= 0 && dup2(outPipe[1], 1) >= 0 && dup2(errPipe[1], 2) >= 0;
        });
    } catch (...) {
        for (int fd : {outPipe[0], outPipe[1], errPipe[0], errPipe[1], in}) close(fd);
        throw;
    }
    close(outPipe[1]), close(errPipe[1]), close(in);

    const auto end = Clock::now() + limit;
    pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
    std::string* sinks[2] = {&result.out, &result.err};
    int openPipes = 2;
    char buffer[65536];
    while (openPipes > 0) {
        const auto left = std::chrono::duration_cast<milliseconds>(end - Clock::now()).count();
        if (left <= 0) {
            result.timedOut = true;
            break;
        }
        const int n = poll(fds, 2, static_cast<int>(left));
        if (n < 0 && errno != EINTR) break;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0) continue;
            const ssize_t got = read(fds[i].fd, buffer, sizeof buffer);
            if (got > 0) {
                sinks[i]->append(buffer, static_cast<std::size_t>(got));
            } else if (got == 0 || (errno != EINTR && errno != EAGAIN)) {
                close(fds[i].fd);
                fds[i].fd = -1;
                --openPipes;
            }
        }
    }
    for (const pollfd& p : fds)
        if (p.fd >= 0) close(p.fd);

    // The output is complete; give the command the rest of its time to end.
    int raw = 0;
    bool reaped = false;
    if (!result.timedOut) {
        reaped = WaitUntil(
            [&] { return waitpid(pid, &raw, WNOHANG) == pid; },
            std::max(milliseconds{0}, std::chrono::duration_cast<milliseconds>(end - Clock::now())),
            milliseconds{2});
        result.timedOut = !reaped;
    }
    if (!reaped) {
        KillGroup(pid);
        while (waitpid(pid, &raw, 0) < 0 && errno == EINTR) {
        }
    } else {
        kill(-pid, SIGKILL);  // helpers it may have left in its group
    }
    result.status = DecodeStatus(raw);
    return result;
}

// ---------------------------------------------------------------- X

namespace {

// Every named window in the output of `xwininfo -root -tree`, at any depth.
std::vector<WindowInfo> ParseWindowTree(const std::string& text) {
    // e.g.     0x200002 "VORLAX": ("vorlax" "vorlax")  785x617+119+75  +119+75
    // (parsed by hand: std::regex draws false warnings from GCC in sanitizer builds)
    std::vector<WindowInfo> windows;
    std::istringstream in(text);
    for (std::string s; std::getline(in, s);) {
        const std::size_t idAt = s.find("0x");
        const std::size_t open = s.find(" \"", idAt);
        const std::size_t close = s.rfind("\":");
        if (idAt == std::string::npos || open == std::string::npos || close == std::string::npos ||
            close <= open)
            continue;
        // The size is the last token but one, before the absolute position.
        std::istringstream tail(s.substr(close + 2));
        std::vector<std::string> tokens;
        for (std::string t; tail >> t;) tokens.push_back(t);
        WindowInfo w;
        char sep = 0;
        if (tokens.size() < 2 ||
            std::sscanf(tokens[tokens.size() - 2].c_str(), "%d%c%d", &w.width, &sep, &w.height) !=
                3 ||
            sep != 'x')
            continue;
        w.id = std::stoul(s.substr(idAt, open - idAt), nullptr, 16);
        w.title = s.substr(open + 2, close - open - 2);
        windows.push_back(std::move(w));
    }
    return windows;
}

}  // namespace

std::string MissingTools() {
    std::string missing;
    for (const auto& [program, package] : {std::pair{"Xvfb", "xvfb"},
                                           {"xdotool", "xdotool"},
                                           {"xwd", "x11-apps"},
                                           {"xwininfo", "x11-utils"}})
        if (FindProgram(program).empty())
            missing += std::string(program) + " is not installed (Debian package " + package +
                       "; `make test` installs it)\n";
    if (FindProgram(VORLAX_WM_CLOSE).empty())
        missing +=
            std::string(VORLAX_WM_CLOSE) + " is missing (build the target vorlax_wm_close)\n";
    return missing;
}

Xvfb::Xvfb(const fs::path& logFile, ScreenSize screen, CoreFonts fonts) {
    const std::string program = FindProgram("Xvfb");
    if (program.empty()) throw std::runtime_error("Xvfb is not installed (Debian package xvfb)");
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    LaunchOptions o;
    // The server writes the display number it chose to the descriptor.
    const std::string size =
        std::to_string(screen.width) + "x" + std::to_string(screen.height) + "x24";
    o.argv = {program, "-displayfd", std::to_string(fds[1]), "-screen", "0", size, "-nolisten",
              "tcp",   "-noreset"};
    if (fonts == CoreFonts::BuiltInsOnly) o.argv.insert(o.argv.end(), {"-fp", "built-ins"});
    for (char** e = environ; *e != nullptr; ++e) o.env.emplace_back(*e);
    o.stdoutFile = logFile;
    o.stderrFile = fs::path(logFile.string() + ".err");
    o.inheritFd = fds[1];
    try {
        server_.emplace(o);
    } catch (...) {
        close(fds[0]), close(fds[1]);
        throw;
    }
    close(fds[1]);

    std::string number;
    const auto end = Clock::now() + kStartLimit;
    bool done = false;
    while (!done) {
        const auto left = std::chrono::duration_cast<milliseconds>(end - Clock::now()).count();
        if (left <= 0) break;
        pollfd p{fds[0], POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(left)) <= 0) continue;
        char c = 0;
        const ssize_t got = read(fds[0], &c, 1);
        if (got <= 0) break;  // the server ended without naming a display
        if (c == '\n')
            done = true;
        else
            number += c;
    }
    close(fds[0]);
    if (!done || number.empty()) {
        server_->Kill();
        throw std::runtime_error("Xvfb did not start; its output:\n" + ReadFile(logFile) +
                                 ReadFile(logFile.string() + ".err"));
    }
    display_ = ":" + number;
}

Xvfb::~Xvfb() {
    if (windowManager_) windowManager_->Terminate(milliseconds{3000});
    // Ended politely, the server removes its socket file; killed only if it hangs.
    if (server_) server_->Terminate(milliseconds{3000});
}

void Xvfb::StartWindowManager(const fs::path& home) {
    const std::string program = FindProgram("openbox");
    if (program.empty())
        throw std::runtime_error("openbox is not installed (Debian package openbox)");
    LaunchOptions o;
    o.argv = {program, "--sm-disable"};
    o.env = Environment();
    std::erase_if(o.env, [](const std::string& v) {
        return v.starts_with("HOME=") || v.starts_with("XDG_CACHE_HOME=") ||
               v.starts_with("XDG_CONFIG_HOME=");
    });
    o.env.push_back("HOME=" + home.string());
    o.stdoutFile = home / "openbox.log";
    o.stderrFile = home / "openbox.err";
    windowManager_.emplace(o);
    // A window manager announces itself on the root window.
    const bool up = WaitUntil(
        [&] {
            const CommandResult r = Run({"xprop", "-root", "_NET_SUPPORTING_WM_CHECK"});
            return (r.Ok() && r.out.find("window id") != std::string::npos) ||
                   !windowManager_->Running();
        },
        kStartLimit, milliseconds{50});
    if (!up || !windowManager_->Running())
        throw std::runtime_error("openbox did not start: " + ReadFile(home / "openbox.err"));
}

bool Xvfb::Stop(int signal) {
    if (!server_ || !server_->Signal(signal)) return false;
    return server_->WaitExit(kLimit).has_value();
}

std::vector<std::string> Xvfb::Environment() const {
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string_view v(*e);
        const std::string_view name = v.substr(0, v.find('='));
        if (name == "DISPLAY" || name == "SDL_VIDEODRIVER" || name == "WAYLAND_DISPLAY" ||
            name == "VORLAX_FRAME_LOG" || name == "VORLAX_OWN_MESSAGE_BOX")
            continue;
        env.emplace_back(v);
    }
    env.push_back("DISPLAY=" + display_);
    env.push_back("SDL_VIDEODRIVER=x11");
    return env;
}

CommandResult Xvfb::Run(std::vector<std::string> argv, milliseconds limit) const {
    return RunCommand(argv, Environment(), limit);
}

std::vector<WindowInfo> Xvfb::Windows() const {
    const CommandResult r = Run({"xwininfo", "-root", "-tree"});
    if (!r.Ok()) return {};
    return ParseWindowTree(r.out);
}

std::vector<WindowInfo> Xvfb::WindowsTitled(const std::string& title) const {
    std::vector<WindowInfo> all = Windows();
    std::erase_if(all, [&](const WindowInfo& w) { return w.title != title; });
    return all;
}

namespace {
std::string Hex(unsigned long id) {
    std::ostringstream s;
    s << "0x" << std::hex << id;
    return s.str();
}
}  // namespace

bool Xvfb::IsViewable(unsigned long window) const {
    const CommandResult r = Run({"xwininfo", "-id", Hex(window)});
    return r.Ok() && r.out.find("Map State: IsViewable") != std::string::npos;
}

unsigned long Xvfb::FocusedWindow() const {
    const CommandResult r = Run({"xdotool", "getwindowfocus"});
    if (!r.Ok()) return 0;
    try {
        return std::stoul(r.out);
    } catch (const std::exception&) {
        return 0;
    }
}

bool Xvfb::Focus(unsigned long window, milliseconds limit) const {
    // Only a mapped window can take the focus, and --sync waits for the focus
    // to arrive without a limit of its own: check the window first, bound the
    // command, and read the focus back.
    return WaitUntil(
        [&] {
            if (!IsViewable(window)) return false;
            Run({"xdotool", "windowfocus", "--sync", std::to_string(window)}, milliseconds{5000});
            return FocusedWindow() == window;
        },
        limit, milliseconds{50});
}

std::optional<Image> Xvfb::Capture(unsigned long window, std::string* error) const {
    const CommandResult r = Run({"xwd", "-silent", "-id", Hex(window)});
    if (!r.Ok()) {
        if (error != nullptr) *error = "xwd failed: " + r.err;
        return std::nullopt;
    }
    try {
        return Image(DecodeXwd(r.out));
    } catch (const std::exception& e) {
        if (error != nullptr) *error = e.what();
        return std::nullopt;
    }
}

bool Xvfb::KeyDown(const std::string& key) const {
    return Run({"xdotool", "keydown", key}).Ok();
}

bool Xvfb::KeyUp(const std::string& key) const {
    return Run({"xdotool", "keyup", key}).Ok();
}

bool Xvfb::Tap(const std::string& key, milliseconds hold) const {
    if (!KeyDown(key)) return false;
    std::this_thread::sleep_for(hold);  // a key hold, not a wait for anything
    return KeyUp(key);
}

bool Xvfb::CloseBox(unsigned long window) const {
    return Run({VORLAX_WM_CLOSE, Hex(window)}).Ok();
}

// ---------------------------------------------------------------- files

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

GameFolder::GameFolder(const fs::path& binary) {
    std::string pattern = (fs::temp_directory_path() / "vorlax-e2e-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot make a temp folder");
    root_ = pattern;
    try {
        const fs::path from = binary.parent_path();
        const fs::path to = ProgramFolder();
        fs::create_directory(to);
        if (!fs::exists(binary))
            throw std::runtime_error("the game is not built: " + binary.string());
        fs::copy_file(binary, to / "vorlax");
        int bitmaps = 0;
        for (const auto& entry : fs::directory_iterator(from)) {
            const std::string name = entry.path().filename().string();
            const bool font =
                name == "LiberationSans-Regular.ttf" || name == "LiberationSans-Bold.ttf";
            if (entry.path().extension() == ".bmp" || font || name == "Hiscore.txt") {
                fs::copy_file(entry.path(), to / name);
                bitmaps += entry.path().extension() == ".bmp" ? 1 : 0;
            }
        }
        if (bitmaps == 0 || !fs::exists(to / "Hiscore.txt"))
            throw std::runtime_error(
                "the build did not copy the game's bitmaps and Hiscore.txt to " + from.string());
    } catch (...) {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
        throw;
    }
}

GameFolder::~GameFolder() {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
}

void GameFolder::Remove(const std::string& file) const {
    if (!fs::remove(ProgramFolder() / file))
        throw std::runtime_error("no such file in the game folder: " + file);
}

}  // namespace vorlax::e2e
