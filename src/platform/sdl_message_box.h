// The game's own message window, for desktops where the system's message box
// cannot be shown (SDL's needs either the zenity program or the X server's
// core fonts, and a bare desktop may have neither): the caption, the text
// wrapped in Liberation Sans (or, without any font file, in the game's
// built-in bitmap font) and an OK button. Return, Esc, Space, a click on OK
// and the window's close box dismiss it. Part of the SDL backend.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct _TTF_Font;

namespace vorlax {

// How the message window measures and draws its text.
class MessageFont {
  public:
    virtual ~MessageFont() = default;
    virtual int Width(const std::string& utf8) = 0;
    virtual int LineHeight() = 0;
    // Draws one line with its top left corner at (x, y).
    virtual void Draw(SDL_Surface* target, int x, int y, const std::string& utf8,
                      SDL_Color colour) = 0;
};

// Text in an SDL2_ttf font (not owned, must outlive the window).
std::unique_ptr<MessageFont> TtfMessageFont(_TTF_Font* font);
// Text in the built-in bitmap font, each of its pixels drawn 2 x 2.
std::unique_ptr<MessageFont> BuiltInMessageFont();

// Lines of `text` for a window `width` pixels wide: wrapped by words, and a
// word wider than the window (a long path) broken between characters.
std::vector<std::string> MessageLines(const std::string& text, int width, MessageFont& font);

class MessageWindow {
  public:
    enum class Outcome { Open, Dismissed, Quit };

    // Lays out and opens the window, centred, on top and with the keyboard
    // focus. Opened() tells whether SDL could make it.
    MessageWindow(const std::string& text, const std::string& caption,
                  std::unique_ptr<MessageFont> font);
    ~MessageWindow();
    MessageWindow(const MessageWindow&) = delete;
    MessageWindow& operator=(const MessageWindow&) = delete;

    bool Opened() const { return window_ != nullptr; }
    SDL_Window* Window() const { return window_; }
    std::uint32_t WindowId() const { return id_; }
    const std::vector<std::string>& Lines() const { return lines_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    SDL_Rect OkButton() const { return ok_; }

    // Draws the window and shows it.
    void Draw();
    // What `event` does to the box: keys and clicks count only when they are
    // meant for its window; a quit request (a signal) ends it too.
    Outcome Handle(const SDL_Event& event);

  private:
    std::unique_ptr<MessageFont> font_;
    std::vector<std::string> lines_;
    int width_ = 0, height_ = 0, lineHeight_ = 0;
    SDL_Rect ok_{};
    SDL_Window* window_ = nullptr;
    std::uint32_t id_ = 0;
    bool pressed_ = false;  // the left button went down on OK
};

}  // namespace vorlax
