// The SDL backend: starting and stopping SDL, the clock and the event loop,
// one window per form and presenting it, and the message box.
#include "platform/sdl_platform.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "platform/sdl_internal.h"

namespace vorlax {
namespace {

// Longest sleep of one yield, and the sleep between polls of an idle window.
constexpr std::uint32_t kLongestNapMs = 100;
constexpr std::uint32_t kIdleNapMs = 10;

// ---------------------------------------------------------------- frame log

// A measuring aid: when VORLAX_FRAME_LOG names a file, every picture shown in
// the display window writes the moment it was shown to it, in microseconds of
// SDL's performance counter, one line each (tools/measure_game.sh reads the
// frame spacing from it). The file is opened once and written through the C
// library's buffer, which is flushed when the program ends.
void LogFrameShown(const Form& form) {
    static std::FILE* const log = []() -> std::FILE* {
        const char* path = std::getenv("VORLAX_FRAME_LOG");
        if (path == nullptr || *path == '\0') return nullptr;
        std::FILE* file = std::fopen(path, "w");
        if (file == nullptr)
            std::fprintf(stderr, "vorlax: warning: cannot write the frame log %s\n", path);
        return file;
    }();
    if (log == nullptr || form.Name() != "DisplayForm") return;
    const Uint64 ticks = SDL_GetPerformanceCounter();
    const Uint64 perSecond = SDL_GetPerformanceFrequency();
    const Uint64 micros = ticks / perSecond * 1000000 + ticks % perSecond * 1000000 / perSecond;
    std::fprintf(log, "%llu\n", static_cast<unsigned long long>(micros));
}

}  // namespace

using sdl::kSystemFontFolder;
using sdl::MapColour;
using sdl::WrapImage;

bool IsSilentFallback(const char* requested, const char* chosen) {
    if (chosen == nullptr) return false;
    const std::string driver = chosen;
    if (driver != "offscreen" && driver != "dummy") return false;
    // SDL_VIDEODRIVER may list several drivers, separated by commas.
    const std::string asked = requested == nullptr ? "" : requested;
    std::size_t start = 0;
    for (;;) {
        std::size_t comma = asked.find(',', start);
        if (asked.substr(start, comma == std::string::npos ? comma : comma - start) == driver)
            return false;
        if (comma == std::string::npos) return true;
        start = comma + 1;
    }
}

SdlPlatform::Window::~Window() {
    text.clear();
    SDL_FreeSurface(image);
    if (window != nullptr) SDL_DestroyWindow(window);
}

// ---------------------------------------------------------------- life

SdlPlatform::SdlPlatform() {
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
        std::string why =
            std::string("no display to open the game's windows on (SDL fell back to its \"") +
            chosen + "\" driver; is DISPLAY set?)";
        SDL_Quit();
        throw std::runtime_error(why);
    }
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

    if (char* base = SDL_GetBasePath()) {
        folder_ = base;
        SDL_free(base);
        while (folder_.size() > 1 && folder_.back() == '/') folder_.pop_back();
    }
    if (folder_.empty()) folder_ = ".";
    fontFolders_ = {folder_, kSystemFontFolder};
}

SdlPlatform::~SdlPlatform() {
    if (HasPlatform() && &CurrentPlatform() == this) SetCurrentPlatform(nullptr);
    windows_.clear();
    open_.clear();
    active_ = nullptr;
    for (auto& [key, font] : fonts_)
        if (font != nullptr) TTF_CloseFont(font);
    fonts_.clear();
    TTF_Quit();
    SDL_Quit();
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

// Waiting is a poll followed by a sleep, not SDL_WaitEvent: while SDL 2.26
// waits, it wakes itself by sending an X event to one of our windows over a
// second connection, and if the player quits before the X server has taken
// that event, the window is gone, the server reports an error on that
// connection, and Xlib ends the program with status 1 as SDL shuts down.
// Sleeping until the caller's deadline costs nothing noticeable: the frame
// loop asks for at most 11 ms, and keys pressed meanwhile are handled then.
void SdlPlatform::DoEvents(std::uint32_t maxWaitMs) {
    RunIdleTask();
    SDL_Event event;
    int got = SDL_PollEvent(&event);
    if (!got && maxWaitMs > 0) {
        SDL_Delay(std::min<std::uint32_t>(maxWaitMs, kLongestNapMs));
        got = SDL_PollEvent(&event);
    }
    // A handler may yield again (a key that runs a whole game loop); the
    // nested call simply takes the events after this one.
    while (got) {
        HandleEvent(event);
        got = SDL_PollEvent(&event);
    }
    PresentChanged();
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
            form->Unload();
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

// ---------------------------------------------------------------- windows

SdlPlatform::Window* SdlPlatform::FindWindow(const Form& form) const {
    auto it = windows_.find(&form);
    return it == windows_.end() ? nullptr : it->second.get();
}

Form* SdlPlatform::FormOfWindowId(std::uint32_t id) const {
    for (const auto& [form, window] : windows_)
        if (window->id == id) return const_cast<Form*>(form);
    return nullptr;
}

SDL_Window* SdlPlatform::WindowOf(const Form& form) const {
    Window* w = FindWindow(form);
    return w == nullptr ? nullptr : w->window;
}

void SdlPlatform::OnWindowOpen(Form& form) {
    const int width = std::max(1, form.ClientWidth());
    const int height = std::max(1, form.ClientHeight());
    Window* w = FindWindow(form);
    if (w == nullptr) {
        SDL_Window* window =
            SDL_CreateWindow(form.Caption().c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                             width, height, SDL_WINDOW_HIDDEN);
        if (window == nullptr) {
            std::fprintf(stderr, "vorlax: cannot open the window \"%s\": %s\n",
                         form.Caption().c_str(), SDL_GetError());
            return;
        }
        auto created = std::make_unique<Window>();
        created->window = window;
        created->id = SDL_GetWindowID(window);
        w = created.get();
        windows_[&form] = std::move(created);
    } else {
        // Resized while hidden.
        int w0 = 0, h0 = 0;
        SDL_GetWindowSize(w->window, &w0, &h0);
        if (w0 != width || h0 != height) SDL_SetWindowSize(w->window, width, height);
    }
    SDL_ShowWindow(w->window);
    w->dirty = true;
    form.Touch();
}

void SdlPlatform::OnWindowHide(Form& form) {
    UpdateTextInput(&form);
    if (Window* w = FindWindow(form)) SDL_HideWindow(w->window);
}

void SdlPlatform::OnWindowClose(Form& form) {
    UpdateTextInput(&form);
    DestroyWindow(form);
}

void SdlPlatform::DestroyWindow(const Form& form) {
    windows_.erase(&form);
}

void SdlPlatform::CloseAllWindows() {
    Platform::CloseAllWindows();
    windows_.clear();  // anything the bookkeeping did not know of
    UpdateTextInput();
}

void SdlPlatform::OnActivate(Form& form) {
    if (Window* w = FindWindow(form)) {
        SDL_RaiseWindow(w->window);
        // Without a window manager nobody else moves the keyboard focus.
        // Unsupported by some drivers, which is fine: the game's own
        // bookkeeping (active_) already says where keys go.
        SDL_SetWindowInputFocus(w->window);
    }
    UpdateTextInput();
}

void SdlPlatform::ResizeForm(Form& form) {
    if (Window* w = FindWindow(form)) {
        SDL_SetWindowSize(w->window, std::max(1, form.ClientWidth()),
                          std::max(1, form.ClientHeight()));
        w->dirty = true;
    }
    form.Touch();
}

// ---------------------------------------------------------------- presenting

void SdlPlatform::PresentForm(Form& form) {
    Window* w = FindWindow(form);
    if (w == nullptr || !form.Visible()) return;
    SDL_Surface* target = SDL_GetWindowSurface(w->window);
    if (target == nullptr) return;

    const Surface& image = form.Image();
    if (target->w > image.Width() || target->h > image.Height()) {
        // The window has not caught up with a new client size yet.
        SDL_FillRect(target, nullptr, MapColour(target, form.BackColor()));
    }
    if (w->image == nullptr || w->image->pixels != image.Data() || w->image->w != image.Width() ||
        w->image->h != image.Height()) {
        SDL_FreeSurface(w->image);
        w->image = WrapImage(image);
    }
    if (w->image != nullptr) {
        SDL_Rect dst{0, 0, 0, 0};
        SDL_BlitSurface(w->image, nullptr, target, &dst);
    }
    for (const auto& control : form.Controls()) {
        if (control->Visible()) DrawControl(target, *w, *control);
    }
    SDL_UpdateWindowSurface(w->window);
    LogFrameShown(form);
    w->shownRevision = form.Revision();
    w->shownActive = active_ == &form;
    w->dirty = false;
}

void SdlPlatform::PresentChanged() {
    for (Form* form : open_) {
        if (!form->Visible()) continue;
        Window* w = FindWindow(*form);
        if (w == nullptr) continue;
        // The caret shows only in the active window, so activation counts as a change.
        if (w->dirty || w->shownRevision != form->Revision() || w->shownActive != (active_ == form))
            PresentForm(*form);
    }
    UpdateTextInput();
}

Surface SdlPlatform::LastFrame(const Form& form) const {
    Window* w = FindWindow(form);
    if (w == nullptr) return {};
    SDL_Surface* s = SDL_GetWindowSurface(w->window);
    if (s == nullptr || s->w <= 0 || s->h <= 0) return {};
    Surface frame(s->w, s->h);
    if (SDL_ConvertPixels(s->w, s->h, s->format->format, s->pixels, s->pitch,
                          SDL_PIXELFORMAT_XBGR8888, frame.Data(), s->w * 4) != 0) {
        return {};
    }
    // The raster's pixels carry 0 in the unused top byte.
    for (int y = 0; y < frame.Height(); ++y) {
        std::uint32_t* row = frame.Row(y);
        for (int x = 0; x < frame.Width(); ++x) row[x] &= 0x00FFFFFFu;
    }
    return frame;
}

}  // namespace vorlax
