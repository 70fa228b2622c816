// The SDL backend's message box: the system's when it can be shown, the
// game's own window otherwise, and the ways a signal ends either.
#include "platform/sdl_message_box.h"

#include <SDL_ttf.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/builtin_font.h"
#include "platform/sdl_internal.h"
#include "platform/sdl_platform.h"

namespace vorlax {
namespace {

// Layout of the game's own window, in pixels.
constexpr int kMargin = 20;
constexpr int kTextWidth = 440;  // the widest a line of text may be
constexpr int kLeastWidth = 280;
constexpr int kButtonWidth = 88;
constexpr int kButtonHeight = 28;
constexpr int kButtonGap = 18;     // between the text and the button
constexpr int kBottomMargin = 16;  // under the button
constexpr int kMostLines = 30;     // a longer text is cut short
constexpr int kFontPixels = 15;
constexpr std::uint32_t kNapMs = 10;  // between polls while the box waits

constexpr SDL_Color kBack{240, 240, 240, 255};
constexpr SDL_Color kText{0, 0, 0, 255};
constexpr SDL_Color kButtonEdge{0, 120, 215, 255};  // the default button's frame
constexpr SDL_Color kButtonFace{225, 225, 225, 255};
constexpr SDL_Color kButtonPressed{204, 228, 247, 255};

Uint32 Map(const SDL_Surface* s, SDL_Color c) {
    return SDL_MapRGB(s->format, c.r, c.g, c.b);
}

class TtfFont : public MessageFont {
  public:
    explicit TtfFont(TTF_Font* font) : font_(font) {}
    int Width(const std::string& utf8) override {
        int w = 0, h = 0;
        return TTF_SizeUTF8(font_, utf8.c_str(), &w, &h) == 0 ? w : INT_MAX;
    }
    int LineHeight() override { return TTF_FontLineSkip(font_); }
    void Draw(SDL_Surface* target, int x, int y, const std::string& utf8,
              SDL_Color colour) override {
        if (utf8.empty()) return;
        SDL_Surface* line = TTF_RenderUTF8_Blended(font_, utf8.c_str(), colour);
        if (line == nullptr) return;
        SDL_Rect at{x, y, 0, 0};
        SDL_BlitSurface(line, nullptr, target, &at);
        SDL_FreeSurface(line);
    }

  private:
    TTF_Font* font_;
};

class BuiltInFont : public MessageFont {
  public:
    static constexpr int kScale = 2;
    int Width(const std::string& utf8) override {
        return static_cast<int>(builtin_font::CodePoints(utf8).size()) * builtin_font::kAdvance *
               kScale;
    }
    int LineHeight() override { return builtin_font::kLineRows * kScale; }
    void Draw(SDL_Surface* target, int x, int y, const std::string& utf8,
              SDL_Color colour) override {
        const Uint32 pixel = Map(target, colour);
        for (const char32_t c : builtin_font::CodePoints(utf8)) {
            const std::uint8_t* rows = builtin_font::Glyph(c);
            for (int r = 0; r < builtin_font::kGlyphRows; ++r) {
                for (int col = 0; col < builtin_font::kGlyphWidth; ++col) {
                    if ((rows[r] >> (builtin_font::kGlyphWidth - 1 - col) & 1) == 0) continue;
                    SDL_Rect dot{x + col * kScale, y + r * kScale, kScale, kScale};
                    SDL_FillRect(target, &dot, pixel);
                }
            }
            x += builtin_font::kAdvance * kScale;
        }
    }
};

// The longest start of `line` that fits `width`, cut between characters
// (never inside one); at least one character.
std::size_t FittingPrefix(const std::string& line, int width, MessageFont& font) {
    std::size_t best = 0;
    for (std::size_t i = 1; i <= line.size(); ++i) {
        if (i < line.size() && (static_cast<unsigned char>(line[i]) & 0xC0) == 0x80) continue;
        if (best > 0 && font.Width(line.substr(0, i)) > width) break;
        best = i;
    }
    return best;
}

// ---------------------------------------------------------------- signals

// While SDL shows the system's message box it waits inside its own loop (or
// for the zenity program) and handles no events, so SDL's signal handling,
// which only queues a quit request, cannot end the game. For that time a
// signal ends the process itself: it first asks the helper programs the box
// started (zenity) to go, so no dialog is left behind, then exits with 0, as
// a quit does. Only async-signal-safe calls below.
char g_childrenFile[64];

void EndWhileTheSystemBoxIsOpen(int) {
    const int fd = open(g_childrenFile, O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        char list[512];
        const ssize_t got = read(fd, list, sizeof list);
        close(fd);
        pid_t pid = 0;
        for (ssize_t i = 0; i <= got; ++i) {
            if (i < got && list[i] >= '0' && list[i] <= '9') {
                pid = pid * 10 + (list[i] - '0');
            } else if (pid > 0) {
                kill(pid, SIGTERM);
                pid = 0;
            }
        }
    }
    _exit(0);
}

class SignalsEndTheProgram {
  public:
    SignalsEndTheProgram() {
        // The box runs on this thread, so its helpers are this thread's children.
        std::snprintf(g_childrenFile, sizeof g_childrenFile, "/proc/%d/task/%d/children",
                      static_cast<int>(getpid()), static_cast<int>(gettid()));
        struct sigaction action {};
        action.sa_handler = EndWhileTheSystemBoxIsOpen;
        sigemptyset(&action.sa_mask);
        sigaction(SIGINT, &action, &savedInt_);
        sigaction(SIGTERM, &action, &savedTerm_);
    }
    ~SignalsEndTheProgram() {
        sigaction(SIGINT, &savedInt_, nullptr);
        sigaction(SIGTERM, &savedTerm_, nullptr);
    }
    SignalsEndTheProgram(const SignalsEndTheProgram&) = delete;
    SignalsEndTheProgram& operator=(const SignalsEndTheProgram&) = delete;

  private:
    struct sigaction savedInt_ {};
    struct sigaction savedTerm_ {};
};

// The switch that skips the system's box, so that tests (and anyone curious)
// see the game's own window on any desktop.
bool OwnMessageBoxForced() {
    const char* value = std::getenv("VORLAX_OWN_MESSAGE_BOX");
    return value != nullptr && *value != '\0' && std::strcmp(value, "0") != 0;
}

}  // namespace

std::unique_ptr<MessageFont> TtfMessageFont(_TTF_Font* font) {
    return std::make_unique<TtfFont>(font);
}

std::unique_ptr<MessageFont> BuiltInMessageFont() {
    return std::make_unique<BuiltInFont>();
}

std::vector<std::string> MessageLines(const std::string& text, int width, MessageFont& font) {
    const auto measure = [&font](const std::string& s) { return font.Width(s); };
    std::vector<std::string> lines;
    for (std::string line : WrapWords(text, width, measure)) {
        while (font.Width(line) > width) {
            const std::size_t cut = FittingPrefix(line, width, font);
            lines.push_back(line.substr(0, cut));
            line.erase(0, cut);
        }
        lines.push_back(std::move(line));
    }
    if (static_cast<int>(lines.size()) > kMostLines) {
        lines.resize(kMostLines);
        std::string& last = lines.back();
        while (!last.empty() && font.Width(last + "...") > width) {
            last.pop_back();
            while (!last.empty() && (static_cast<unsigned char>(last.back()) & 0xC0) == 0x80)
                last.pop_back();
            if (!last.empty() && static_cast<unsigned char>(last.back()) >= 0xC0) last.pop_back();
        }
        last += "...";
    }
    return lines;
}

// ---------------------------------------------------------------- the window

MessageWindow::MessageWindow(const std::string& text, const std::string& caption,
                             std::unique_ptr<MessageFont> font)
    : font_(std::move(font)) {
    lines_ = MessageLines(text, kTextWidth, *font_);
    lineHeight_ = font_->LineHeight();
    int widest = 0;
    for (const std::string& line : lines_) widest = std::max(widest, font_->Width(line));
    width_ = std::max(kLeastWidth, widest + 2 * kMargin);
    height_ = kMargin + static_cast<int>(lines_.size()) * lineHeight_ + kButtonGap + kButtonHeight +
              kBottomMargin;
    ok_ = {(width_ - kButtonWidth) / 2, height_ - kBottomMargin - kButtonHeight, kButtonWidth,
           kButtonHeight};

    window_ = SDL_CreateWindow(caption.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                               width_, height_, SDL_WINDOW_HIDDEN);
    if (window_ == nullptr) return;
    id_ = SDL_GetWindowID(window_);
    SDL_ShowWindow(window_);
    // Without a window manager nobody else gives it the keyboard.
    SDL_RaiseWindow(window_);
    SDL_SetWindowInputFocus(window_);
}

MessageWindow::~MessageWindow() {
    if (window_ != nullptr) SDL_DestroyWindow(window_);
}

void MessageWindow::Draw() {
    SDL_Surface* s = window_ == nullptr ? nullptr : SDL_GetWindowSurface(window_);
    if (s == nullptr) return;
    SDL_FillRect(s, nullptr, Map(s, kBack));
    for (std::size_t i = 0; i < lines_.size(); ++i)
        font_->Draw(s, kMargin, kMargin + static_cast<int>(i) * lineHeight_, lines_[i], kText);
    SDL_FillRect(s, &ok_, Map(s, kButtonEdge));
    SDL_Rect face{ok_.x + 2, ok_.y + 2, ok_.w - 4, ok_.h - 4};
    SDL_FillRect(s, &face, Map(s, pressed_ ? kButtonPressed : kButtonFace));
    const std::string label = "OK";
    font_->Draw(s, ok_.x + (ok_.w - font_->Width(label)) / 2,
                ok_.y + (ok_.h - font_->LineHeight()) / 2, label, kText);
    SDL_UpdateWindowSurface(window_);
}

MessageWindow::Outcome MessageWindow::Handle(const SDL_Event& event) {
    const auto onOk = [&](int x, int y) {
        const SDL_Point p{x, y};
        return SDL_PointInRect(&p, &ok_) == SDL_TRUE;
    };
    switch (event.type) {
        case SDL_QUIT:
            return Outcome::Quit;
        case SDL_KEYDOWN:
            // A key still held from before the box opened repeats; that is
            // no answer to the message.
            if (event.key.windowID != id_ || event.key.repeat != 0) break;
            switch (event.key.keysym.scancode) {
                case SDL_SCANCODE_RETURN:
                case SDL_SCANCODE_KP_ENTER:
                case SDL_SCANCODE_ESCAPE:
                case SDL_SCANCODE_SPACE:
                    return Outcome::Dismissed;
                default:
                    break;
            }
            break;
        case SDL_MOUSEBUTTONDOWN:
            if (event.button.windowID == id_ && event.button.button == SDL_BUTTON_LEFT &&
                onOk(event.button.x, event.button.y)) {
                pressed_ = true;
                Draw();
            }
            break;
        case SDL_MOUSEBUTTONUP:
            // Like any button: pressed on OK and released on it.
            if (event.button.windowID == id_ && event.button.button == SDL_BUTTON_LEFT &&
                pressed_) {
                pressed_ = false;
                if (onOk(event.button.x, event.button.y)) return Outcome::Dismissed;
                Draw();
            }
            break;
        case SDL_WINDOWEVENT:
            if (event.window.windowID != id_) break;
            if (event.window.event == SDL_WINDOWEVENT_CLOSE) return Outcome::Dismissed;
            if (event.window.event == SDL_WINDOWEVENT_SHOWN ||
                event.window.event == SDL_WINDOWEVENT_EXPOSED ||
                event.window.event == SDL_WINDOWEVENT_RESTORED ||
                event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED)
                Draw();
            break;
        default:
            break;
    }
    return Outcome::Open;
}

// ---------------------------------------------------------------- the platform's message box

void SdlPlatform::MessageBox(const std::string& text, const std::string& caption) {
    // The line on stderr comes first and always: a log keeps it.
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    // Without a screen (the dummy and offscreen drivers) nobody could see
    // the box or dismiss it; stderr has the message.
    if (!screen_) return;
    if (!OwnMessageBoxForced() && ShowSystemMessageBox(text, caption)) return;
    ShowOwnMessageBox(text, caption);
}

bool SdlPlatform::ShowSystemMessageBox(const std::string& text, const std::string& caption) {
    SignalsEndTheProgram signalsEnd;
    // A signal that came just before waits in SDL's queue; honour it now,
    // the box would hide it until the player answers.
    SDL_PumpEvents();
    if (SDL_HasEvent(SDL_QUIT)) {
        SDL_FlushEvent(SDL_QUIT);
        QuitFromMessageBox();
    }
    return SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption.c_str(), text.c_str(), nullptr) ==
           0;
}

void SdlPlatform::ShowOwnMessageBox(const std::string& text, const std::string& caption) {
    // Liberation Sans where the game finds its fonts; without it the
    // built-in font, so the message is read even when the fonts are what is
    // missing.
    TTF_Font* ttf = nullptr;
    for (const std::string& folder : fontFolders_) {
        ttf = TTF_OpenFont((folder + "/" + sdl::kRegularFontFile).c_str(), kFontPixels);
        if (ttf != nullptr) break;
    }
    MessageWindow::Outcome outcome = MessageWindow::Outcome::Open;
    {
        MessageWindow box(text, caption,
                          ttf != nullptr ? TtfMessageFont(ttf) : BuiltInMessageFont());
        if (!box.Opened()) {
            std::fprintf(stderr, "vorlax: cannot open a window for the message: %s\n",
                         SDL_GetError());
            if (ttf != nullptr) TTF_CloseFont(ttf);
            return;
        }
        // Typed text is for the game's text boxes, not for the message.
        SDL_StopTextInput();
        box.Draw();
        // Blocks like the system's box: the game's windows get no events
        // meanwhile, and are shown again afresh once it is gone.
        while (outcome == MessageWindow::Outcome::Open) {
            RunIdleTask();
            SDL_Event event;
            if (!SDL_PollEvent(&event)) {
                SDL_Delay(kNapMs);
                continue;
            }
            outcome = box.Handle(event);
            if (event.type == SDL_WINDOWEVENT && event.window.windowID != box.WindowId()) {
                if (Form* form = FormOfWindowId(event.window.windowID))
                    if (Window* w = FindWindow(*form)) w->dirty = true;
            } else if (event.type == SDL_DROPFILE || event.type == SDL_DROPTEXT) {
                SDL_free(event.drop.file);
            }
        }
    }
    if (ttf != nullptr) TTF_CloseFont(ttf);
    UpdateTextInput();
    // The keyboard goes back where it was.
    if (active_ != nullptr) OnActivate(*active_);
    if (outcome == MessageWindow::Outcome::Quit) QuitFromMessageBox();
}

void SdlPlatform::QuitFromMessageBox() {
    // A signal came while the message was shown: the windows close as on
    // any quit request, and with none open (a message at start-up) the
    // program ends here, as a quit does.
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    HandleEvent(quit);
    End(0);
}

}  // namespace vorlax
