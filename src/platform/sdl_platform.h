// The real-window backend: one SDL window per form, the keyboard read through
// SDL, text drawn with SDL2_ttf, the clock from SDL_GetTicks. Only main()
// creates it; the game itself sees nothing but the Platform interface, so no
// SDL header is included here.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/form.h"
#include "platform/pad.h"
#include "platform/platform.h"
#include "platform/scaling.h"

struct SDL_Window;
struct SDL_Surface;
union SDL_Event;
struct _TTF_Font;
struct _SDL_GameController;

namespace vorlax {

namespace sdl {
struct SharedFrame;  // a window's picture shared with the X server (sdl_x11.cpp)
struct SharedFrameDeleter {
    void operator()(SharedFrame* frame) const;
};
using SharedFramePtr = std::unique_ptr<SharedFrame, SharedFrameDeleter>;
}  // namespace sdl

// --- pieces without a display, kept apart so they can be tested alone ---

// The virtual-key code of the key at SDL scancode `scancode`, 0 for a key the
// game has no code for. Scancodes name key positions, so the arrows, Shift and
// Ctrl work whatever the keyboard layout.
int VirtualKeyForScancode(int scancode);

// Breaks `text` into lines that fit `width` pixels as measured by `measure`:
// greedy by words (a line takes words while they fit), a word wider than the
// width goes on a line of its own, a line break in the text always breaks.
// Blanks between words on one line are kept as typed; blanks at a break are
// dropped.
std::vector<std::string> WrapWords(const std::string& text, int width,
                                   const std::function<int(const std::string&)>& measure);

// Left edge of a line `textWidth` pixels wide placed in the span
// left..left+width by `align`. A line wider than the span overhangs it (on
// both sides when centred) and is clipped by the caller.
int AlignedLeft(Align align, int left, int width, int textWidth);

// Whether SDL's choice of video driver `chosen` is one that shows nothing
// (offscreen, dummy) although `requested` (SDL_VIDEODRIVER, may be null or a
// comma-separated list) did not ask for it: SDL falls back to those silently
// when there is no display.
bool IsSilentFallback(const char* requested, const char* chosen);

class SdlPlatform : public Platform {
  public:
    // Starts SDL's video and timer and SDL2_ttf. On X, a lost connection to
    // the display ends the process at once (status 1, one line on stderr).
    // Throws std::runtime_error
    // with SDL's reason when no video driver can start, or when there is no
    // display and SDL would fall back to a driver that shows nothing.
    // Gamepads are optional: without SDL's game controller support the game
    // runs on the keyboard alone. `presentation` sets the windows' scale and
    // whether the main window (the first one shown) starts fullscreen.
    explicit SdlPlatform(Presentation presentation = {});

    // What must be done before the game ends for a lost display (the X
    // server went away): it runs with the display gone, so it may touch files
    // but no window.
    static void AtLostDisplay(void (*lastWish)());
    ~SdlPlatform() override;
    SdlPlatform(const SdlPlatform&) = delete;
    SdlPlatform& operator=(const SdlPlatform&) = delete;

    // --- Platform ---
    std::int16_t GetKeyState(int vk) override;
    std::uint32_t GetTickCount() override;
    void Sleep(std::uint32_t ms) override;
    void DoEvents(std::uint32_t maxWaitMs = 0) override;
    void RunEventLoop() override;
    std::string ProgramFolder() override { return folder_; }
    // Beside the program for a game run from its build folder; for an
    // installed one, the player's folder SDL names (SDL_GetPrefPath), made on
    // first call. Throws GameError when that folder cannot be made.
    std::string ScoreFolder() override;
    // The line on stderr, then the system's message box, or the game's own
    // window where the system's cannot be shown or VORLAX_OWN_MESSAGE_BOX is
    // set (to anything but 0). Without a screen only the line. A SIGINT or
    // SIGTERM while it is open ends the program with status 0.
    void MessageBox(const std::string& text, const std::string& caption) override;
    // Liberation Sans, regular and bold, must open from one of the font folders.
    void CheckFonts() override;
    void ResizeForm(Form& form) override;
    void PresentForm(Form& form) override;
    void FocusChanged(Form& form) override;

    // --- inspection, for tests and end-to-end checks ---

    // The SDL window of `form`, or nullptr while it has none.
    SDL_Window* WindowOf(const Form& form) const;
    // The frame last presented in the form's window, as the window shows it
    // (same pixel layout as the form's image); empty without a window.
    Surface LastFrame(const Form& form) const;
    // Where the form's picture lay in its window when it was last presented.
    Viewport ViewOf(const Form& form) const;
    // Switches the form's window between fullscreen (on the desktop's
    // resolution) and its window; F11 and Alt+Enter do this for the player.
    void ToggleFullscreen(const Form& form);
    bool IsFullscreen(const Form& form) const;
    // Folders searched for the fonts, in order. Changing them forgets every
    // font opened so far; a font found in none of them is reported once and
    // its text is drawn in the built-in bitmap font.
    void SetFontFolders(std::vector<std::string> folders);
    // The game's own message window, shown where the system's box cannot be:
    // a form with the text and an OK button, at scale 1, blocking until
    // Return, Esc, Space, a click on OK or its close box dismisses it; the
    // game's windows get no events meanwhile.
    void ShowOwnMessageBox(const std::string& text, const std::string& caption);

  protected:
    void CloseAllWindows() override;
    void OnWindowOpen(Form& form) override;
    void OnWindowHide(Form& form) override;
    void OnWindowClose(Form& form) override;
    void OnActivate(Form& form) override;

  private:
    // Rendered text of one control, kept until what it shows changes.
    struct TextLine {
        SDL_Surface* surface = nullptr;  // nullptr for an empty line
        int width = 0;
    };
    struct TextCache {
        std::string text;
        Font font;
        int pixels = 0;  // the font's size in window pixels
        Colour colour = 0;
        int width = -1;
        bool wrap = false;
        bool valid = false;
        int height = 0;  // font height in pixels (line spacing too), 0 for no size
        std::vector<TextLine> lines;
        int scroll = 0;  // a text box's pixels hidden left of it; kept across changes
        TextCache() = default;
        TextCache(const TextCache&) = delete;
        TextCache& operator=(const TextCache&) = delete;
        ~TextCache();
        void Clear();
    };
    struct Window {
        SDL_Window* window = nullptr;
        // What the window's picture is drawn on and sent from, when the X
        // server shares memory; else SDL's window surface.
        sdl::SharedFramePtr frame;
        bool sharing = true;  // false once the server could not share
        std::uint32_t id = 0;
        std::uint64_t shownRevision = 0;
        bool shownActive = false;
        bool dirty = true;  // exposed or resized: show again whatever the revision
        int scale = 1;      // window pixels per logical pixel while not fullscreen
        Extent sizedFor;    // the client size the window was last sized for
        Viewport view;      // where the picture lay when last presented
        // What the window shows, to find what changed since: the form's image,
        // its background, and how each of its controls looked and lay.
        ShownPicture shown;
        Colour shownBack = 0;
        struct ShownControl {
            std::uint64_t revision = 0;
            PixelRect box;  // logical pixels
            bool visible = false;
            bool focused = false;
            bool operator==(const ShownControl&) const = default;
        };
        std::vector<ShownControl> controls;
        std::vector<PixelRect> sent;     // the pieces of the frame last sent, unless it was whole
        std::vector<PixelRect> sending;  // room for the next frame's
        std::map<const Control*, std::unique_ptr<TextCache>> text;
        Window() = default;
        Window(const Window&) = delete;
        Window& operator=(const Window&) = delete;
        ~Window();
    };

    bool ShowSystemMessageBox(const std::string& text, const std::string& caption);
    [[noreturn]] void QuitFromMessageBox();

    Window* FindWindow(const Form& form) const;
    // The surface the window's picture is drawn on, at the window's size.
    SDL_Surface* PictureSurface(Window& window);
    // Asks for the pixels the next frame will most likely touch.
    void Prefetch() const;
    // Whether SDL must look at the window system now; `quiet`: the X server
    // sent nothing during the nap just slept (see DoEvents).
    bool MustLook(bool quiet);
    Form* FormOfWindowId(std::uint32_t id) const;
    void HandleEvent(const SDL_Event& event);
    void HandleWindowEvent(const SDL_Event& event);
    void PresentChanged();
    void UpdateTextInput(const Form* leaving = nullptr);
    void DestroyWindow(const Form& form);
    // The scale of a window opened now: the main window's when it is open,
    // else the one chosen at start.
    int NewWindowScale(const Form& form);
    // Whether a key-down is one of the presentation's own keys (F11,
    // Alt+Enter), handled here and never passed to the game.
    bool PresentationKey(const SDL_Event& event);

    // Gamepads (sdl_pad.cpp).
    void StartPads();
    void StopPads();
    void HandlePadEvent(const SDL_Event& event);
    bool PadHolds(int vk) const;
    _TTF_Font* GetFont(const Font& font, int pixels);
    // `text` wrapped by words at `width` pixels in `font` at scale 1: the
    // lines joined by line breaks, and in `size` the room they take.
    std::string WrapText(const Font& font, const std::string& text, int width, Extent& size);
    TextCache& RenderedText(Window& window, const Control& control, const std::string& text,
                            bool wrap, const Viewport& view);
    void DrawText(SDL_Surface* target, const TextCache& text, const Control& control,
                  const PixelRect& box, int top, int margin, const PixelRect& clip);
    void DrawTextBox(SDL_Surface* target, Window& window, const TextBox& textBox,
                     const Viewport& view, const PixelRect& box, const PixelRect& clip);
    // Draws the control where it lies in `view`, writing only inside `within`.
    void DrawControl(SDL_Surface* target, Window& window, const Control& control,
                     const Viewport& view, const PixelRect& within);
    // The logical areas of the form to show again besides its image's changes:
    // where a control changed, and where it lay before. Records how each looks now.
    std::vector<PixelRect> ChangedControls(const Form& form, Window& window);

    std::string folder_;
    bool installed_ = false;   // the files came from an installed data folder
    std::string scoreFolder_;  // the player's folder, once found
    Presentation presentation_;
    int startScale_ = 0;  // worked out when the first window opens
    const Form* mainForm_ = nullptr;
    const Form* messageBox_ = nullptr;  // the game's own message window while it is open
    struct Pad {
        _SDL_GameController* controller = nullptr;
        HeldKeys held;  // the game's keys the pad holds down
    };
    std::map<std::int32_t, Pad> pads_;  // by SDL's joystick instance id
    bool padsStarted_ = false;
    std::uint32_t lastLook_ = 0;  // when SDL last looked at the window system
    bool screen_ = false;         // a video driver that shows windows to someone
    std::vector<std::string> fontFolders_;
    std::map<std::pair<int, bool>, _TTF_Font*> fonts_;  // nullptr: could not be opened
    bool fontWarned_[2] = {false, false};               // by bold: missing font reported
    std::map<const Form*, std::unique_ptr<Window>> windows_;
};

}  // namespace vorlax
