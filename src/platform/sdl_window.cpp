// The SDL backend's windows: one per form, sized at the form's client area
// times the presentation's scale, resizable and switchable to fullscreen,
// and presenting: the form's image enlarged onto the window surface with the
// controls drawn on top at the same scale.
#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/sdl_internal.h"
#include "platform/sdl_platform.h"

namespace vorlax {
namespace {

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

Extent ClientOf(const Form& form) {
    return {std::max(1, form.ClientWidth()), std::max(1, form.ClientHeight())};
}

// The whole number of window pixels per logical pixel the window shows now.
int WholeScale(const Viewport& view) {
    return std::max(1, static_cast<int>(std::floor(view.Scale() + 1e-9)));
}

// 32 bits a pixel, 8 bits a colour: every X server of today. The game's own
// copy serves it, which converts each source row once and copies the rows of
// a block, and partial updates are pixel-exact there.
bool PlainLayout(const SDL_Surface* target) {
    const SDL_PixelFormat* f = target->format;
    return f->BytesPerPixel == 4 && f->Rloss == 0 && f->Gloss == 0 && f->Bloss == 0;
}

}  // namespace

namespace sdl {

SDL_Rect ToSdl(const PixelRect& r) {
    return {r.x, r.y, r.width, r.height};
}

void DrawScaled(SDL_Surface* target, const Surface& image, const PixelRect& from,
                const PixelRect& to, const PixelRect& clip) {
    const SDL_PixelFormat* f = target->format;
    if (PlainLayout(target)) {
        if (SDL_MUSTLOCK(target) && SDL_LockSurface(target) != 0) return;
        PixelTarget t{static_cast<std::uint32_t*>(target->pixels),
                      target->pitch,
                      {target->w, target->h},
                      {f->Rshift, f->Gshift, f->Bshift, f->Amask}};
        ScalePixels(image, from, t, to, clip);
        if (SDL_MUSTLOCK(target)) SDL_UnlockSurface(target);
        return;
    }
    // Anything else: SDL's own nearest-neighbour stretch.
    SDL_Surface* source = WrapImage(image);
    if (source == nullptr) return;
    SDL_Rect src = ToSdl(from), dst = ToSdl(to), c = ToSdl(clip);
    SDL_SetClipRect(target, &c);
    SDL_BlitScaled(source, &src, target, &dst);
    SDL_SetClipRect(target, nullptr);
    SDL_FreeSurface(source);
}

}  // namespace sdl

using sdl::DrawScaled;
using sdl::MapColour;
using sdl::ToSdl;

SdlPlatform::Window::~Window() {
    text.clear();
    frame.reset();
    if (window != nullptr) SDL_DestroyWindow(window);
}

SDL_Surface* SdlPlatform::PictureSurface(Window& w) {
    int width = 0, height = 0;
    SDL_GetWindowSizeInPixels(w.window, &width, &height);
    if (w.frame != nullptr) {
        SDL_Surface* s = sdl::FrameSurface(*w.frame);
        if (s->w == width && s->h == height) return s;
        w.frame.reset();  // resized: a new one below, shown whole
    }
    if (w.sharing) {
        w.frame = sdl::MakeSharedFrame(w.window, width, height);
        w.sharing = w.frame != nullptr;
        w.dirty = true;
        if (w.frame != nullptr) return sdl::FrameSurface(*w.frame);
    }
    return SDL_GetWindowSurface(w.window);
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

Viewport SdlPlatform::ViewOf(const Form& form) const {
    Window* w = FindWindow(form);
    return w == nullptr ? Viewport{} : w->view;
}

int SdlPlatform::NewWindowScale(const Form& form) {
    if (startScale_ == 0) {
        // The first window is the game's main window: the scale is chosen for it.
        SDL_Rect usable{0, 0, 0, 0};
        if (SDL_GetDisplayUsableBounds(0, &usable) != 0) usable = {0, 0, 0, 0};
        const Extent desktop{usable.w, usable.h};
        const int asked = presentation_.scale;
        startScale_ = asked > 0 ? FittingScale(asked, ClientOf(form), desktop)
                                : StartScale(ClientOf(form), desktop);
        if (asked > startScale_) {
            std::fprintf(stderr,
                         "vorlax: --scale %d does not fit the %d x %d desktop; using --scale %d\n",
                         asked, usable.w, usable.h, startScale_);
        }
    }
    if (mainForm_ != nullptr && mainForm_ != &form) {
        // The help and high-score windows take the main window's scale (as a
        // window: a fullscreen main window keeps the one it had).
        if (Window* main = FindWindow(*mainForm_)) return main->scale;
    }
    return startScale_;
}

void SdlPlatform::OnWindowOpen(Form& form) {
    const Extent client = ClientOf(form);
    Window* w = FindWindow(form);
    if (w == nullptr) {
        // The message window is no window of the game's: at scale 1, never the main one.
        const bool message = &form == messageBox_;
        const int scale = message ? 1 : NewWindowScale(form);
        const bool first = !message && mainForm_ == nullptr;
        Uint32 flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE;
        SDL_Window* window =
            SDL_CreateWindow(form.Caption().c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                             client.width * scale, client.height * scale, flags);
        if (window == nullptr) {
            std::fprintf(stderr, "vorlax: cannot open the window \"%s\": %s\n",
                         form.Caption().c_str(), SDL_GetError());
            return;
        }
        // Smaller than the designed size the picture would not fit whole.
        SDL_SetWindowMinimumSize(window, client.width, client.height);
        if (first) mainForm_ = &form;
        auto created = std::make_unique<Window>();
        created->window = window;
        created->id = SDL_GetWindowID(window);
        created->scale = scale;
        created->sizedFor = client;
        w = created.get();
        windows_[&form] = std::move(created);
        if (first && presentation_.fullscreen) ToggleFullscreen(form);
    } else if (!(w->sizedFor == client)) {
        ResizeForm(form);  // the client size changed while the window was hidden
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
    if (mainForm_ == &form) mainForm_ = nullptr;
    windows_.erase(&form);
}

void SdlPlatform::CloseAllWindows() {
    Platform::CloseAllWindows();
    windows_.clear();  // anything the bookkeeping did not know of
    mainForm_ = nullptr;
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

// A new client size: the window follows at the scale it shows now (a
// fullscreen window keeps the screen and only shows the new picture).
void SdlPlatform::ResizeForm(Form& form) {
    if (Window* w = FindWindow(form)) {
        const Extent client = ClientOf(form);
        SDL_SetWindowMinimumSize(w->window, client.width, client.height);
        if (!IsFullscreen(form))
            SDL_SetWindowSize(w->window, client.width * w->scale, client.height * w->scale);
        w->sizedFor = client;
        w->dirty = true;
    }
    form.Touch();
}

bool SdlPlatform::IsFullscreen(const Form& form) const {
    Window* w = FindWindow(form);
    return w != nullptr && (SDL_GetWindowFlags(w->window) & SDL_WINDOW_FULLSCREEN) != 0;
}

void SdlPlatform::ToggleFullscreen(const Form& form) {
    Window* w = FindWindow(form);
    if (w == nullptr) return;
    const Uint32 mode = IsFullscreen(form) ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP;
    // Without a window manager nobody would make the window cover the screen:
    // it would keep its size while the picture was laid out for the screen's,
    // and only a corner of it would show.
    if (mode != 0 && !sdl::CanGoFullscreen(w->window)) {
        static bool said = false;
        if (!said) {
            std::fprintf(stderr,
                         "vorlax: fullscreen needs a window manager, and this display has none; "
                         "the game stays in a window\n");
        }
        said = true;
        return;
    }
    if (SDL_SetWindowFullscreen(w->window, mode) != 0)
        std::fprintf(stderr, "vorlax: warning: cannot switch fullscreen: %s\n", SDL_GetError());
    w->dirty = true;
}

// ---------------------------------------------------------------- presenting

std::vector<PixelRect> SdlPlatform::ChangedControls(const Form& form, Window& window) {
    std::vector<PixelRect> areas;
    const auto& controls = form.Controls();
    window.controls.resize(controls.size());
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const Control& c = *controls[i];
        const Window::ShownControl now{
            c.Revision(), {c.Left(), c.Top(), c.Width(), c.Height()}, c.Visible(), c.HasFocus()};
        Window::ShownControl& before = window.controls[i];
        // A picture box is drawn on without telling anybody: always shown again.
        const bool picture = c.Kind() == ControlKind::PictureBox && now.visible;
        if (!(now == before) || picture) {
            if (before.visible) areas.push_back(before.box);
            if (now.visible) areas.push_back(now.box);
        }
        before = now;
    }
    return areas;
}

void SdlPlatform::PresentForm(Form& form) {
    Window* w = FindWindow(form);
    if (w == nullptr || !form.Visible()) return;
    SDL_Surface* target = PictureSurface(*w);
    if (target == nullptr) return;

    const Surface& image = form.Image();
    const Extent window{target->w, target->h};
    const Viewport view =
        FitPicture({image.Width(), image.Height()}, window, presentation_.anyFactor);
    const PixelRect picture = Intersect(view.area, {0, 0, window.width, window.height});
    // After a resize, an expose, a new scale, a new background or another
    // active window (the caret shows only in the active one) the whole
    // window is drawn and sent; otherwise only what changed.
    const bool whole = w->dirty || !(view.area == w->view.area) ||
                       !(view.logical == w->view.logical) || w->shownBack != form.BackColor() ||
                       w->shownActive != (active_ == &form) ||
                       w->controls.size() != form.Controls().size() || !PlainLayout(target);
    w->view = view;
    // A window the player resized shows a new scale, which later windows take.
    if (!IsFullscreen(form)) w->scale = WholeScale(view);

    // Window pixels. The list of the frame before is reused, so a frame of
    // play asks the heap for nothing.
    std::vector<PixelRect>& areas = w->sending;
    areas.clear();
    if (whole) {
        const Uint32 back = MapColour(target, form.BackColor());
        for (const PixelRect& band : Letterbox(view, window)) {
            const SDL_Rect r = ToSdl(band);
            SDL_FillRect(target, &r, back);
        }
        w->shown.TakeAll(form.Image());
        ChangedControls(form, *w);
        areas.push_back(picture);
    } else {
        const auto add = [&](const PixelRect& c) {
            const PixelRect area = Intersect(view.ToWindow(c.x, c.y, c.width, c.height), picture);
            if (!area.Empty()) areas.push_back(area);
        };
        for (const PixelRect& c : w->shown.TakeChanges(form.Image())) add(c);
        for (const PixelRect& c : ChangedControls(form, *w)) add(c);
    }
    // The controls lie over the picture: each is drawn again where an area
    // meets it. Most areas lie in the play field, away from all of them.
    thread_local std::vector<std::pair<const Control*, PixelRect>> over;
    over.clear();
    PixelRect around;  // around all of them
    for (const auto& control : form.Controls()) {
        const Control& c = *control;
        const PixelRect box =
            Intersect(view.ToWindow(c.Left(), c.Top(), c.Width(), c.Height()), picture);
        if (!c.Visible() || box.Empty()) continue;
        over.emplace_back(&c, box);
        around = around.Empty() ? box : Around(around, box);
    }
    const PixelRect all{0, 0, image.Width(), image.Height()};
    thread_local std::vector<SDL_Rect> rects;
    rects.clear();
    for (const PixelRect& area : areas) {
        DrawScaled(target, image, all, view.area, area);
        if (!Intersect(around, area).Empty())
            for (const auto& [control, box] : over)
                if (!Intersect(box, area).Empty()) DrawControl(target, *w, *control, view, area);
        rects.push_back(ToSdl(area));
    }
    if (whole) rects = {ToSdl({0, 0, window.width, window.height})};
    if (w->frame != nullptr) {
        sdl::SendFrame(*w->frame, rects.data(), static_cast<int>(rects.size()));
        std::swap(w->sent, areas);
        if (whole) w->sent.clear();
    } else if (whole)
        SDL_UpdateWindowSurface(w->window);
    else if (!rects.empty())
        SDL_UpdateWindowSurfaceRects(w->window, rects.data(), static_cast<int>(rects.size()));
    LogFrameShown(form);
    w->shownRevision = form.Revision();
    w->shownActive = active_ == &form;
    w->shownBack = form.BackColor();
    w->dirty = false;
}

// On waking from a nap, before the game's rules run: the rows of each shown
// window that the next frame will most likely clear, draw and send again, those
// of the last frame, are fetched meanwhile (see ShownPicture::Prefetch).
void SdlPlatform::Prefetch() const {
    for (const auto& [form, w] : windows_) {
        if (!form->Visible()) continue;
        w->shown.Prefetch(form->Image());
        if (w->frame == nullptr) continue;
        const SDL_Surface* target = sdl::FrameSurface(*w->frame);
        const PixelRect whole{0, 0, target->w, target->h};
        for (const PixelRect& sent : w->sent)
            PrefetchRows(target->pixels, target->pitch, Intersect(sent, whole));
    }
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
    SDL_Surface* s =
        w->frame != nullptr ? sdl::FrameSurface(*w->frame) : SDL_GetWindowSurface(w->window);
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
