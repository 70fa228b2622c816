// The SDL backend's message box: the system's when it can be shown, the
// game's own window otherwise, and the ways a signal ends either.
#include <SDL.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/keys.h"
#include "platform/sdl_internal.h"
#include "platform/sdl_platform.h"

namespace vorlax {
namespace {

constexpr std::uint32_t kNapMs = 10;  // between polls while the box waits

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
        // Numbers separated by blanks.
        const char* at = list;
        const char* const end = list + (got > 0 ? got : 0);
        while (at < end) {
            pid_t pid = 0;
            const auto [next, error] = std::from_chars(at, end, pid);
            if (error == std::errc() && pid > 0) kill(pid, SIGTERM);
            at = next == at ? at + 1 : next;
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
    // The text in Liberation Sans (in the built-in font when no font file
    // opens, so the message is read even when the fonts are what is missing),
    // an OK button under it.
    constexpr int kMargin = 20, kTextWidth = 440, kLeastWidth = 280;
    constexpr int kButtonWidth = 88, kButtonHeight = 28, kButtonGap = 18, kBottomMargin = 16;
    constexpr Colour kFace = RGB(225, 225, 225), kPressedFace = RGB(204, 228, 247);
    const Font font{11.25, false};  // 15 pixels
    Extent lines, ok;
    const std::string wrapped = WrapText(font, text, kTextWidth, lines);
    WrapText(font, "OK", kButtonWidth, ok);
    const int width = std::max(kLeastWidth, lines.width + 2 * kMargin);
    const int height = kMargin + lines.height + kButtonGap + kButtonHeight + kBottomMargin;
    const PixelRect button{(width - kButtonWidth) / 2, height - kBottomMargin - kButtonHeight,
                           kButtonWidth, kButtonHeight};

    Form box("MessageBox", caption, width, height);
    box.SetBackColor(RGB(240, 240, 240));
    box.Cls();
    const auto add = [&](const std::string& name, PixelRect r, const std::string& caption) {
        Label& label = box.Add<Label>(name, r.x, r.y, r.width, r.height);
        label.SetCaption(caption);
        label.SetFont(font);
        label.SetAlignment(Align::Centre);
        label.SetTransparent(caption == "OK");
        return &label;
    };
    add("Message", {kMargin, kMargin, lines.width, lines.height}, wrapped)
        ->SetAlignment(Align::Left);
    add("Edge", button, "")->SetBackColor(RGB(0, 120, 215));  // the default button's frame
    Label* face =
        add("Face", {button.x + 2, button.y + 2, button.width - 4, button.height - 4}, "");
    face->SetBackColor(kFace);
    add("OK", {button.x, button.y + (button.height - ok.height) / 2, button.width, ok.height},
        "OK");
    bool done = false, quit = false, pressed = false;
    box.OnKeyDown = [&](int key) {
        done = key == VK_RETURN || key == VK_ESCAPE || key == VK_SPACE;
    };
    box.OnUnload = [&] { done = true; };  // its close box

    Form* const before = active_;
    messageBox_ = &box;
    box.Show();
    const Window* const w = FindWindow(box);
    // Blocks like the system's box: the game's windows get no events
    // meanwhile, and are shown again afresh once it is gone.
    while (w != nullptr && !done && !quit) {
        RunIdleTask();
        PresentChanged();
        SDL_Event event;
        if (!SDL_PollEvent(&event)) {
            SDL_Delay(kNapMs);
            continue;
        }
        switch (event.type) {
            case SDL_QUIT:
                quit = true;
                break;
            case SDL_KEYDOWN:
                // A key still held from before the box opened repeats; that
                // is no answer to the message.
                if (event.key.windowID == w->id && event.key.repeat == 0)
                    box.DeliverKeyDown(VirtualKeyForScancode(event.key.keysym.scancode));
                break;
            case SDL_MOUSEBUTTONDOWN:
            case SDL_MOUSEBUTTONUP: {
                if (event.button.windowID != w->id || event.button.button != SDL_BUTTON_LEFT) break;
                const SDL_Point at{event.button.x, event.button.y};
                const SDL_Rect r =
                    sdl::ToSdl(w->view.ToWindow(button.x, button.y, button.width, button.height));
                const bool onOk = SDL_PointInRect(&at, &r) == SDL_TRUE;
                // Like any button: pressed on OK and released on it.
                done = event.type == SDL_MOUSEBUTTONUP && pressed && onOk;
                pressed = event.type == SDL_MOUSEBUTTONDOWN && onOk;
                face->SetBackColor(pressed ? kPressedFace : kFace);
                break;
            }
            case SDL_WINDOWEVENT:
                if (event.window.windowID == w->id) {
                    HandleWindowEvent(event);
                } else if (Form* form = FormOfWindowId(event.window.windowID)) {
                    if (Window* other = FindWindow(*form)) other->dirty = true;
                }
                break;
            case SDL_DROPFILE:
            case SDL_DROPTEXT:
                SDL_free(event.drop.file);
                break;
            default:
                break;
        }
    }
    box.Unload();
    messageBox_ = nullptr;
    // The keyboard goes back where it was.
    if (before != nullptr && before->Visible())
        ActivateForm(*before);
    else
        UpdateTextInput();
    if (quit) QuitFromMessageBox();
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
