// The SDL backend: starting and stopping SDL, where the game's files are, the
// clock and the event loop, and the message box.
#include "platform/sdl_platform.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <algorithm>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <ranges>
#include <stdexcept>
#include <string_view>

#include "core/errors.h"
#include "platform/data_folders.h"
#include "platform/sdl_internal.h"

namespace vorlax {
namespace {

// Longest sleep of one yield, and the sleep between polls of an idle window.
constexpr std::uint32_t kLongestNapMs = 100;
constexpr std::uint32_t kIdleNapMs = 10;
constexpr std::uint32_t kLookEveryMs = 250;  // SDL looks at least this often in play

}  // namespace

using sdl::kSystemFontFolder;

bool IsSilentFallback(const char* requested, const char* chosen) {
    if (chosen == nullptr) return false;
    const std::string_view driver = chosen;
    if (driver != "offscreen" && driver != "dummy") return false;
    // SDL_VIDEODRIVER may list several drivers, separated by commas.
    for (const auto asked : std::views::split(std::string_view(requested ? requested : ""), ','))
        if (std::string_view(asked.begin(), asked.end()) == driver) return false;
    return true;
}

// ---------------------------------------------------------------- life

SdlPlatform::SdlPlatform(Presentation presentation) : presentation_(presentation) {
    // Compose frames on the processor and hand them to X directly (shared
    // memory) rather than through an OpenGL texture: under a software GL, as
    // on Xvfb, the texture path costs far more processor time for the same
    // picture. Set before SDL_Init; an environment variable still wins.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    // A windowed game: leave the desktop compositor alone.
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    // Closing a window is the form's business (its unload handler), not a
    // request to quit; SDL_QUIT then only comes from a signal.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER) != 0) {
        throw std::runtime_error(std::string("cannot start the video system: ") + SDL_GetError());
    }
    const char* chosen = SDL_GetCurrentVideoDriver();
    if (IsSilentFallback(SDL_GetHint(SDL_HINT_VIDEODRIVER), chosen)) {
        // Without a display SDL quietly picks a driver that shows nothing, and
        // the game would run invisible and unreachable. Only a run that asks
        // for such a driver (tests) gets one.
        const char* display = std::getenv("DISPLAY");
        std::string why =
            display != nullptr && *display != '\0'
                ? std::string("cannot open the display \"") + display +
                      "\" to show the game's windows on (is its X server running?)"
                : std::string("no display to show the game's windows on: DISPLAY is not set");
        SDL_Quit();
        throw std::runtime_error(why);
    }
    // A closed terminal or a logout sends SIGHUP, whose default action would
    // end the game on the spot and lose a new high score. It is taken as the
    // SIGTERM that SDL turns into a request to quit, which saves the table.
    // A game started with nohup keeps ignoring it.
    struct sigaction hangUp {};
    if (sigaction(SIGHUP, nullptr, &hangUp) == 0 && hangUp.sa_handler == SIG_DFL)
        std::signal(SIGHUP, [](int) { std::raise(SIGTERM); });
    const std::string driver = chosen;
    screen_ = driver != "dummy" && driver != "offscreen";
    if (driver == "x11") sdl::EndTheGameIfTheDisplayIsLost();
    if (TTF_Init() != 0) {
        std::string why = TTF_GetError();
        SDL_Quit();
        throw std::runtime_error("cannot start the font renderer: " + why);
    }
    // SDL starts with typed-text events on in every window; the game wants
    // them only while a text box has the focus.
    SDL_StopTextInput();
    // A keyboard game: mouse movement would only wake the event loop.
    SDL_EventState(SDL_MOUSEMOTION, SDL_IGNORE);

    std::string exeFolder = ".";
    if (char* base = SDL_GetBasePath()) {
        exeFolder = std::filesystem::path(base).parent_path().string();  // without the final '/'
        SDL_free(base);
    }
    const GameFolders found = FindGameFolders(
        exeFolder, InstalledDataFolders(exeFolder),
        [](const std::string& f) { return std::filesystem::exists(f + "/Ship.bmp"); });
    folder_ = found.program;
    installed_ = found.installed;
    fontFolders_ = {folder_, kSystemFontFolder};
    StartPads();
}

SdlPlatform::~SdlPlatform() {
    if (HasPlatform() && &CurrentPlatform() == this) SetCurrentPlatform(nullptr);
    StopPads();
    windows_.clear();
    open_.clear();
    active_ = nullptr;
    for (auto& [key, font] : fonts_)
        if (font != nullptr) TTF_CloseFont(font);
    fonts_.clear();
    TTF_Quit();
    SDL_Quit();
}

// An installed game keeps the player's table in the player's own folder
// ("$XDG_DATA_HOME/vorlax", else "~/.local/share/vorlax"), made on first
// need: the installed one belongs to the system and is not the player's to
// write.
std::string SdlPlatform::ScoreFolder() {
    if (!installed_) return folder_;
    if (!scoreFolder_.empty()) return scoreFolder_;
    // The XDG rule ignores an XDG_DATA_HOME that is not an absolute path;
    // SDL would take it as it is (and make "/vorlax" for an empty one).
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && xdg[0] != '/')
        unsetenv("XDG_DATA_HOME");
    char* pref = SDL_GetPrefPath("", "vorlax");
    if (pref == nullptr)
        throw GameError(
            kErrHighScoreFile,
            std::string("Could not make the folder for your high scores: ") + SDL_GetError());
    scoreFolder_ = std::filesystem::path(pref).parent_path().string();
    SDL_free(pref);
    return scoreFolder_;
}

// ---------------------------------------------------------------- input and time

// Counted from SDL_Init, that is from program start: the game measures time
// as signed 32-bit differences from readings that start near 0.
std::uint32_t SdlPlatform::GetTickCount() {
    return SDL_GetTicks();
}

void SdlPlatform::Sleep(std::uint32_t ms) {
    SDL_Delay(ms);
}

// Waiting is a sleep followed by one look at the events, not SDL_WaitEvent:
// while SDL 2.26 waits, it wakes itself by sending an X event to one of our
// windows over a second connection, and if the player quits before the X
// server has taken that event, the window is gone, the server reports an
// error on that connection, and Xlib ends the program with status 1 as SDL
// shuts down. The nap watches the X connection itself instead: a key
// pressed meanwhile ends it early, and the frame loop naps again for the
// rest. Each look at the window system costs a round of system calls, so
// the queue is filled once and then emptied without looking again.
void SdlPlatform::DoEvents(std::uint32_t maxWaitMs) {
    RunIdleTask();
    SDL_Window* any = windows_.empty() ? nullptr : windows_.begin()->second->window;
    const bool quiet = maxWaitMs > 0 && sdl::Nap(any, std::min(maxWaitMs, kLongestNapMs));
    if (maxWaitMs > 0) Prefetch();
    if (MustLook(quiet)) SDL_PumpEvents();
    // A handler may yield again (a key that runs a whole game loop); the
    // nested call simply takes the events after this one.
    SDL_Event event;
    while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0)
        HandleEvent(event);
    PresentChanged();
}

// SDL's look is thorough and costs a dozen system calls: the X server's
// queue, more than once, the gamepads, the signals. Between two frames of
// play usually nothing came in, and the nap, which wakes when the X server
// sends something, knows it: SDL looks when something came (a signal such as
// Ctrl+C ends the nap too), a pad is open, text is being typed, or a quarter
// of a second has passed (for pads plugged in).
bool SdlPlatform::MustLook(bool quiet) {
    const std::uint32_t now = SDL_GetTicks();
    if (quiet && now - lastLook_ < kLookEveryMs && pads_.empty() && !SDL_IsTextInputActive())
        return false;
    lastLook_ = now;
    return true;
}

void SdlPlatform::RunEventLoop() {
    while (!open_.empty()) {
        RunIdleTask();
        PresentChanged();
        SDL_Event event;
        if (!SDL_PollEvent(&event)) {
            SDL_Delay(kIdleNapMs);  // see DoEvents for why this is not SDL_WaitEvent
            continue;
        }
        do {
            HandleEvent(event);
        } while (SDL_PollEvent(&event));
    }
}

void SdlPlatform::HandleWindowEvent(const SDL_Event& event) {
    Form* form = FormOfWindowId(event.window.windowID);
    if (form == nullptr) return;  // a window closed since the event was queued
    switch (event.window.event) {
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            if (form->Visible()) active_ = form;
            UpdateTextInput();
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            if (active_ == form) active_ = nullptr;
            UpdateTextInput();
            break;
        case SDL_WINDOWEVENT_CLOSE:
            HandCloseBox(*form);
            break;
        case SDL_WINDOWEVENT_SHOWN:
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_RESIZED:
        case SDL_WINDOWEVENT_SIZE_CHANGED:
        case SDL_WINDOWEVENT_RESTORED:
            if (Window* w = FindWindow(*form)) w->dirty = true;
            break;
        default:
            break;
    }
}

}  // namespace vorlax
