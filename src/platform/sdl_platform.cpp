#include "platform/sdl_platform.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace vorlax {
namespace {

// Longest sleep of one yield, and the sleep between polls of an idle window.
constexpr std::uint32_t kLongestNapMs = 100;
constexpr std::uint32_t kIdleNapMs = 10;

// ---------------------------------------------------------------- keys

struct KeyEntry {
    int vk;
    int scancode;
};

// The one table between key positions and the game's key codes; both the
// held-key poll and the key-down events read it.
const std::vector<KeyEntry>& KeyTable() {
    static const std::vector<KeyEntry> table = [] {
        std::vector<KeyEntry> t = {
            {VK_BACK, SDL_SCANCODE_BACKSPACE},
            {VK_TAB, SDL_SCANCODE_TAB},
            {VK_RETURN, SDL_SCANCODE_RETURN},
            {VK_RETURN, SDL_SCANCODE_KP_ENTER},
            {VK_SHIFT, SDL_SCANCODE_LSHIFT},
            {VK_SHIFT, SDL_SCANCODE_RSHIFT},
            {VK_CONTROL, SDL_SCANCODE_LCTRL},
            {VK_CONTROL, SDL_SCANCODE_RCTRL},
            {VK_MENU, SDL_SCANCODE_LALT},
            {VK_MENU, SDL_SCANCODE_RALT},
            {VK_PAUSE, SDL_SCANCODE_PAUSE},
            {VK_CAPITAL, SDL_SCANCODE_CAPSLOCK},
            {VK_ESCAPE, SDL_SCANCODE_ESCAPE},
            {VK_SPACE, SDL_SCANCODE_SPACE},
            {VK_PRIOR, SDL_SCANCODE_PAGEUP},
            {VK_NEXT, SDL_SCANCODE_PAGEDOWN},
            {VK_END, SDL_SCANCODE_END},
            {VK_HOME, SDL_SCANCODE_HOME},
            {VK_LEFT, SDL_SCANCODE_LEFT},
            {VK_UP, SDL_SCANCODE_UP},
            {VK_RIGHT, SDL_SCANCODE_RIGHT},
            {VK_DOWN, SDL_SCANCODE_DOWN},
            {VK_INSERT, SDL_SCANCODE_INSERT},
            {VK_DELETE, SDL_SCANCODE_DELETE},
            {VK_MULTIPLY, SDL_SCANCODE_KP_MULTIPLY},
            {VK_ADD, SDL_SCANCODE_KP_PLUS},
            {VK_SUBTRACT, SDL_SCANCODE_KP_MINUS},
            {VK_DECIMAL, SDL_SCANCODE_KP_PERIOD},
            {VK_DIVIDE, SDL_SCANCODE_KP_DIVIDE},
            {VK_OEM_1, SDL_SCANCODE_SEMICOLON},
            {VK_OEM_PLUS, SDL_SCANCODE_EQUALS},
            {VK_OEM_COMMA, SDL_SCANCODE_COMMA},
            {VK_OEM_MINUS, SDL_SCANCODE_MINUS},
            {VK_OEM_PERIOD, SDL_SCANCODE_PERIOD},
            {VK_OEM_2, SDL_SCANCODE_SLASH},
            {VK_OEM_3, SDL_SCANCODE_GRAVE},
            {VK_OEM_4, SDL_SCANCODE_LEFTBRACKET},
            {VK_OEM_5, SDL_SCANCODE_BACKSLASH},
            {VK_OEM_6, SDL_SCANCODE_RIGHTBRACKET},
            {VK_OEM_7, SDL_SCANCODE_APOSTROPHE},
        };
        // SDL numbers the digit row 1..9 then 0; the game numbers them '0'..'9'.
        t.push_back({'0', SDL_SCANCODE_0});
        for (int d = 1; d <= 9; ++d) t.push_back({'0' + d, SDL_SCANCODE_1 + (d - 1)});
        for (int l = 0; l < 26; ++l) t.push_back({'A' + l, SDL_SCANCODE_A + l});
        // The keypad likewise runs 1..9 then 0.
        t.push_back({VK_NUMPAD0, SDL_SCANCODE_KP_0});
        for (int d = 1; d <= 9; ++d) t.push_back({VK_NUMPAD0 + d, SDL_SCANCODE_KP_1 + (d - 1)});
        for (int f = 0; f < 12; ++f) t.push_back({VK_F1 + f, SDL_SCANCODE_F1 + f});
        return t;
    }();
    return table;
}

// ---------------------------------------------------------------- text

constexpr const char* kSystemFontFolder = "/usr/share/fonts/truetype/liberation";

// Lines of a caption shown without wrapping: only line breaks in the text break.
std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (;;) {
        std::size_t nl = text.find('\n', start);
        std::string line = text.substr(start, nl == std::string::npos ? nl : nl - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        if (nl == std::string::npos) return lines;
        start = nl + 1;
    }
}

void WrapParagraph(const std::string& para, int width,
                   const std::function<int(const std::string&)>& measure,
                   std::vector<std::string>& lines) {
    std::string line;
    bool hasWord = false;
    bool firstLine = true;
    std::size_t i = 0;
    const std::size_t n = para.size();
    while (i < n) {
        std::size_t sepStart = i;
        while (i < n && para[i] == ' ') ++i;
        if (i >= n) break;  // blanks at the end of a paragraph show nothing
        std::string sep = para.substr(sepStart, i - sepStart);
        std::size_t wordStart = i;
        while (i < n && para[i] != ' ') ++i;
        std::string word = para.substr(wordStart, i - wordStart);
        if (!hasWord) {
            // Indentation is kept on the paragraph's first line only.
            line = (firstLine ? sep : std::string()) + word;
            hasWord = true;
            continue;
        }
        std::string candidate = line + sep + word;
        if (measure(candidate) <= width) {
            line = std::move(candidate);
        } else {
            lines.push_back(std::move(line));
            firstLine = false;
            line = std::move(word);
        }
    }
    lines.push_back(std::move(line));
}

Uint32 MapColour(const SDL_Surface* target, Colour c) {
    return SDL_MapRGB(target->format, static_cast<Uint8>(RedOf(c)), static_cast<Uint8>(GreenOf(c)),
                      static_cast<Uint8>(BlueOf(c)));
}

// A surface sharing the pixels of `image` (no copy): the raster's pixel layout
// is exactly SDL's XBGR8888.
SDL_Surface* WrapImage(const Surface& image) {
    if (image.Width() <= 0 || image.Height() <= 0) return nullptr;
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<std::uint32_t*>(image.Data()), image.Width(), image.Height(), 32,
        image.Width() * 4, SDL_PIXELFORMAT_XBGR8888);
    if (s != nullptr) SDL_SetSurfaceBlendMode(s, SDL_BLENDMODE_NONE);
    return s;
}

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

// ---------------------------------------------------------------- pure helpers

int VirtualKeyForScancode(int scancode) {
    for (const KeyEntry& e : KeyTable())
        if (e.scancode == scancode) return e.vk;
    return 0;
}

std::vector<int> ScancodesForVirtualKey(int vk) {
    std::vector<int> codes;
    for (const KeyEntry& e : KeyTable())
        if (e.vk == vk) codes.push_back(e.scancode);
    return codes;
}

std::vector<std::string> WrapWords(const std::string& text, int width,
                                   const std::function<int(const std::string&)>& measure) {
    std::vector<std::string> lines;
    for (const std::string& para : SplitLines(text)) WrapParagraph(para, width, measure, lines);
    return lines;
}

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

int AlignedLeft(Align align, int left, int width, int textWidth) {
    switch (align) {
        case Align::Left:
            return left;
        case Align::Centre:
            return left + (width - textWidth) / 2;
        case Align::Right:
            return left + width - textWidth;
    }
    return left;
}

// ---------------------------------------------------------------- caches

SdlPlatform::TextCache::~TextCache() {
    Clear();
}

void SdlPlatform::TextCache::Clear() {
    for (TextLine& line : lines) SDL_FreeSurface(line.surface);
    lines.clear();
    valid = false;
    height = 0;
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

std::int16_t SdlPlatform::GetKeyState(int vk) {
    int count = 0;
    const Uint8* state = SDL_GetKeyboardState(&count);
    for (const KeyEntry& e : KeyTable()) {
        if (e.vk == vk && e.scancode < count && state[e.scancode]) {
            return static_cast<std::int16_t>(-128);
        }
    }
    return 0;
}

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

void SdlPlatform::HandleEvent(const SDL_Event& event) {
    switch (event.type) {
        case SDL_KEYDOWN: {
            // Auto-repeats arrive as further key-downs, as the game expects.
            int vk = VirtualKeyForScancode(event.key.keysym.scancode);
            if (vk != 0 && active_ != nullptr) active_->DeliverKeyDown(vk);
            break;
        }
        case SDL_TEXTINPUT:
            if (active_ != nullptr) active_->DeliverText(event.text.text);
            break;
        case SDL_WINDOWEVENT:
            HandleWindowEvent(event);
            break;
        case SDL_QUIT: {
            // Interrupted or terminated: close the windows as the player
            // would, so their unload handlers save and end the program.
            std::vector<Form*> forms = open_;
            for (auto it = forms.rbegin(); it != forms.rend(); ++it) {
                if (std::find(open_.begin(), open_.end(), *it) != open_.end()) (*it)->Unload();
            }
            break;
        }
        case SDL_DROPFILE:
        case SDL_DROPTEXT:
            SDL_free(event.drop.file);
            break;
        default:
            break;
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

// Typed-text events only while the active form's focus is on a text box that
// can take them.
void SdlPlatform::UpdateTextInput(const Form* leaving) {
    const Form* form = active_ == leaving ? nullptr : active_;
    bool want = false;
    if (form != nullptr && form->Visible()) {
        const Control* c = form->FocusedControl();
        want = c != nullptr && c->Kind() == ControlKind::TextBox && c->Enabled() && c->Visible();
    }
    if (want == static_cast<bool>(SDL_IsTextInputActive())) return;
    if (want)
        SDL_StartTextInput();
    else
        SDL_StopTextInput();
}

void SdlPlatform::FocusChanged(Form& form) {
    (void)form;
    UpdateTextInput();
}

// ---------------------------------------------------------------- files and messages

void SdlPlatform::MessageBox(const std::string& text, const std::string& caption) {
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    // Fails at once where there is no screen (dummy driver); stderr has it.
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption.c_str(), text.c_str(), nullptr);
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

// ---------------------------------------------------------------- fonts and text

void SdlPlatform::SetFontFolders(std::vector<std::string> folders) {
    fontFolders_ = std::move(folders);
    for (auto& [form, window] : windows_)
        for (auto& [control, cache] : window->text) cache->Clear();
    for (auto& [key, font] : fonts_)
        if (font != nullptr) TTF_CloseFont(font);
    fonts_.clear();
    fontWarned_[0] = fontWarned_[1] = false;
}

_TTF_Font* SdlPlatform::GetFont(const Font& font) {
    const int pixels = font.PixelSize();
    if (pixels <= 0) return nullptr;
    const auto key = std::make_pair(pixels, font.Bold);
    if (auto it = fonts_.find(key); it != fonts_.end()) return it->second;

    const char* file = font.Bold ? "LiberationSans-Bold.ttf" : "LiberationSans-Regular.ttf";
    TTF_Font* opened = nullptr;
    for (const std::string& folder : fontFolders_) {
        // At SDL2_ttf's default 72 DPI the size asked for is the em in pixels.
        opened = TTF_OpenFont((folder + "/" + file).c_str(), pixels);
        if (opened != nullptr) break;
    }
    if (opened == nullptr && !fontWarned_[font.Bold ? 1 : 0]) {
        fontWarned_[font.Bold ? 1 : 0] = true;
        std::string where;
        for (const std::string& folder : fontFolders_)
            where += (where.empty() ? "" : ", ") + folder;
        std::fprintf(stderr,
                     "vorlax: warning: font %s missing or unreadable (looked in %s); text in it "
                     "will not be drawn\n",
                     file, where.c_str());
    }
    fonts_[key] = opened;  // a failure is remembered too, not retried every frame
    return opened;
}

const SdlPlatform::TextCache& SdlPlatform::RenderedText(Window& window, const Control& control,
                                                        const std::string& text, bool wrap) {
    std::unique_ptr<TextCache>& slot = window.text[&control];
    if (!slot) slot = std::make_unique<TextCache>();
    TextCache& cache = *slot;
    const Font font = control.GetFont();
    const Colour colour = control.ForeColor();
    const int width = control.Width();
    if (cache.valid && cache.text == text && cache.font == font && cache.colour == colour &&
        cache.width == width && cache.wrap == wrap) {
        return cache;
    }
    cache.Clear();
    cache.text = text;
    cache.font = font;
    cache.colour = colour;
    cache.width = width;
    cache.wrap = wrap;
    cache.valid = true;

    TTF_Font* ttf = GetFont(font);
    if (ttf == nullptr) return cache;
    // Lines are stacked a font height apart (ascent plus descent, without
    // the font's extra line gap), as Windows labels stack them.
    cache.height = TTF_FontHeight(ttf);

    std::vector<std::string> lines;
    if (control.Kind() == ControlKind::TextBox) {
        lines.push_back(text);  // a single-line box
    } else if (wrap) {
        lines = WrapWords(text, width, [ttf](const std::string& s) {
            int w = 0, h = 0;
            return TTF_SizeUTF8(ttf, s.c_str(), &w, &h) == 0 ? w : INT_MAX;
        });
    } else {
        lines = SplitLines(text);
    }
    const SDL_Color fg{static_cast<Uint8>(RedOf(colour)), static_cast<Uint8>(GreenOf(colour)),
                       static_cast<Uint8>(BlueOf(colour)), 255};
    for (const std::string& line : lines) {
        TextLine rendered;
        if (!line.empty()) {
            // Anti-aliased, with an alpha channel that blends onto whatever is below.
            rendered.surface = TTF_RenderUTF8_Blended(ttf, line.c_str(), fg);
            if (rendered.surface != nullptr) rendered.width = rendered.surface->w;
        }
        cache.lines.push_back(rendered);
    }
    return cache;
}

// Draws the lines from `top` down, each aligned within the control (a text box
// keeps one pixel of margin at the sides), clipped to the control.
void SdlPlatform::DrawText(SDL_Surface* target, const TextCache& text, const Control& control,
                           int top) {
    const int margin = control.Kind() == ControlKind::TextBox ? 1 : 0;
    SDL_Rect clip{control.Left(), control.Top(), control.Width(), control.Height()};
    SDL_SetClipRect(target, &clip);
    int y = top;
    for (const TextLine& line : text.lines) {
        if (line.surface != nullptr) {
            SDL_Rect dst{AlignedLeft(control.Alignment(), control.Left() + margin,
                                     control.Width() - 2 * margin, line.width),
                         y, 0, 0};
            SDL_BlitSurface(line.surface, nullptr, target, &dst);
        }
        y += text.height;
    }
    SDL_SetClipRect(target, nullptr);
}

void SdlPlatform::DrawControl(SDL_Surface* target, Window& window, const Control& control) {
    SDL_Rect rect{control.Left(), control.Top(), control.Width(), control.Height()};
    switch (control.Kind()) {
        case ControlKind::Label: {
            const auto& label = static_cast<const Label&>(control);
            if (!label.Transparent())
                SDL_FillRect(target, &rect, MapColour(target, label.BackColor()));
            const TextCache& text = RenderedText(window, label, label.Caption(), label.WordWrap());
            DrawText(target, text, label, label.Top());
            break;
        }
        case ControlKind::TextBox: {
            const auto& box = static_cast<const TextBox&>(control);
            SDL_FillRect(target, &rect, MapColour(target, box.BackColor()));
            const TextCache& text = RenderedText(window, box, box.Text(), false);
            const int top = box.Top() + 1;
            DrawText(target, text, box, top);
            if (box.HasFocus() && box.Enabled() && text.height > 0) {
                const int textWidth = text.lines.empty() ? 0 : text.lines.front().width;
                SDL_Rect caret{
                    AlignedLeft(box.Alignment(), box.Left() + 1, box.Width() - 2, textWidth) +
                        textWidth,
                    top, 1, text.height};
                SDL_SetClipRect(target, &rect);
                SDL_FillRect(target, &caret, MapColour(target, box.ForeColor()));
                SDL_SetClipRect(target, nullptr);
            }
            break;
        }
        case ControlKind::PictureBox: {
            const auto& picture = static_cast<const PictureBox&>(control);
            SDL_Surface* image = WrapImage(picture.Image());
            if (image == nullptr) break;
            // The control's size bounds what shows of its image.
            SDL_Rect src{0, 0, std::min(image->w, rect.w), std::min(image->h, rect.h)};
            SDL_Rect dst = rect;
            SDL_BlitSurface(image, &src, target, &dst);
            SDL_FreeSurface(image);
            break;
        }
    }
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
