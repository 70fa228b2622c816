// The game's own message window on SDL's dummy video driver: its lines, what
// dismisses it and what does not, and what it draws. The end-to-end tests
// show it on a real X server.
#include "platform/sdl_message_box.h"

#include <SDL.h>
#include <SDL_ttf.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

#include "platform/builtin_font.h"
#include "platform/sdl_platform.h"

namespace vorlax {
namespace {

class MessageBoxTest : public ::testing::Test {
  protected:
    MessageBoxTest() {
        if (const char* old = std::getenv("SDL_VIDEODRIVER")) savedDriver_ = old;
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        platform_ = std::make_unique<SdlPlatform>();
    }
    ~MessageBoxTest() override {
        platform_.reset();
        if (savedDriver_)
            setenv("SDL_VIDEODRIVER", savedDriver_->c_str(), 1);
        else
            unsetenv("SDL_VIDEODRIVER");
    }

    static SDL_Event Key(std::uint32_t window, SDL_Scancode code, bool repeat = false) {
        SDL_Event e{};
        e.type = SDL_KEYDOWN;
        e.key.windowID = window;
        e.key.repeat = repeat ? 1 : 0;
        e.key.keysym.scancode = code;
        return e;
    }
    static SDL_Event Button(Uint32 type, std::uint32_t window, int x, int y,
                            Uint8 button = SDL_BUTTON_LEFT) {
        SDL_Event e{};
        e.type = type;
        e.button.windowID = window;
        e.button.button = button;
        e.button.x = x;
        e.button.y = y;
        return e;
    }
    static SDL_Event WindowEvent(std::uint32_t window, SDL_WindowEventID what) {
        SDL_Event e{};
        e.type = SDL_WINDOWEVENT;
        e.window.windowID = window;
        e.window.event = what;
        return e;
    }

    std::unique_ptr<SdlPlatform> platform_;

  private:
    std::optional<std::string> savedDriver_;
};

using Outcome = MessageWindow::Outcome;

TEST_F(MessageBoxTest, TextIsWrappedByWordsAndLongWordsAreBrokenToFitTheWindow) {
    auto font = BuiltInMessageFont();  // 12 pixels a character: 36 fit in 440
    EXPECT_EQ(font->Width("Zo\xC3\xAB"), 36);
    EXPECT_EQ(MessageLines("Short.", 440, *font), std::vector<std::string>{"Short."});
    const std::string path = "/" + std::string(80, 'p') + "/Ship.bmp";
    const std::vector<std::string> lines = MessageLines("Cannot load " + path + " now", 440, *font);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], "Cannot load");
    EXPECT_EQ(lines[1], path.substr(0, 36));
    EXPECT_EQ(lines[2], path.substr(36, 36));
    EXPECT_EQ(lines[3], path.substr(72));
    EXPECT_EQ(lines[4], "now");
    // A line break always breaks; a character is never cut in half.
    EXPECT_EQ(MessageLines("a\nb", 440, *font), (std::vector<std::string>{"a", "b"}));
    std::string e;
    for (int i = 0; i < 60; ++i) e += "\xC3\xA9";
    const std::vector<std::string> broken = MessageLines(e, 440, *font);
    ASSERT_EQ(broken.size(), 2u);
    EXPECT_EQ(broken[0].size(), 72u);
    // A very long text is cut short, and says so.
    std::string many;
    for (int i = 0; i < 50; ++i) many += "line " + std::to_string(i) + "\n";
    const std::vector<std::string> cut = MessageLines(many, 440, *font);
    ASSERT_EQ(cut.size(), 30u);
    EXPECT_EQ(cut.back(), "line 29...");
}

TEST_F(MessageBoxTest, ReturnEscSpaceAClickOnOKOrTheCloseBoxDismissItAndNothingElse) {
    MessageWindow box("Something went wrong.", "VORLAX", BuiltInMessageFont());
    ASSERT_TRUE(box.Opened());
    EXPECT_STREQ(SDL_GetWindowTitle(box.Window()), "VORLAX");
    const std::uint32_t id = box.WindowId();
    const std::uint32_t other = id + 1000;
    const SDL_Rect ok = box.OkButton();
    const int cx = ok.x + ok.w / 2, cy = ok.y + ok.h / 2;

    for (SDL_Scancode key :
         {SDL_SCANCODE_RETURN, SDL_SCANCODE_KP_ENTER, SDL_SCANCODE_ESCAPE, SDL_SCANCODE_SPACE}) {
        EXPECT_EQ(box.Handle(Key(id, key)), Outcome::Dismissed) << key;
        // Held over from before the box, or meant for another window: no answer.
        EXPECT_EQ(box.Handle(Key(id, key, true)), Outcome::Open) << key;
        EXPECT_EQ(box.Handle(Key(other, key)), Outcome::Open) << key;
    }
    for (SDL_Scancode key : {SDL_SCANCODE_A, SDL_SCANCODE_F1, SDL_SCANCODE_TAB})
        EXPECT_EQ(box.Handle(Key(id, key)), Outcome::Open) << key;

    // A click is a press and a release, both on OK.
    EXPECT_EQ(box.Handle(Button(SDL_MOUSEBUTTONDOWN, id, cx, cy)), Outcome::Open);
    EXPECT_EQ(box.Handle(Button(SDL_MOUSEBUTTONUP, id, cx, cy)), Outcome::Dismissed);
    EXPECT_EQ(box.Handle(Button(SDL_MOUSEBUTTONDOWN, id, cx, cy)), Outcome::Open);
    EXPECT_EQ(box.Handle(Button(SDL_MOUSEBUTTONUP, id, ok.x + ok.w, cy)), Outcome::Open);
    EXPECT_EQ(box.Handle(Button(SDL_MOUSEBUTTONUP, id, cx, cy)), Outcome::Open);  // not pressed
    EXPECT_EQ(box.Handle(Button(SDL_MOUSEBUTTONDOWN, id, ok.x - 1, cy)), Outcome::Open);
    EXPECT_EQ(box.Handle(Button(SDL_MOUSEBUTTONUP, id, cx, cy)), Outcome::Open);
    EXPECT_EQ(box.Handle(Button(SDL_MOUSEBUTTONDOWN, id, cx, cy, SDL_BUTTON_RIGHT)), Outcome::Open);
    EXPECT_EQ(box.Handle(Button(SDL_MOUSEBUTTONUP, id, cx, cy, SDL_BUTTON_RIGHT)), Outcome::Open);
    EXPECT_EQ(box.Handle(Button(SDL_MOUSEBUTTONDOWN, other, cx, cy)), Outcome::Open);
    EXPECT_EQ(box.Handle(Button(SDL_MOUSEBUTTONUP, other, cx, cy)), Outcome::Open);

    EXPECT_EQ(box.Handle(WindowEvent(other, SDL_WINDOWEVENT_CLOSE)), Outcome::Open);
    EXPECT_EQ(box.Handle(WindowEvent(id, SDL_WINDOWEVENT_EXPOSED)), Outcome::Open);
    EXPECT_EQ(box.Handle(WindowEvent(id, SDL_WINDOWEVENT_CLOSE)), Outcome::Dismissed);

    SDL_Event quit{};
    quit.type = SDL_QUIT;
    EXPECT_EQ(box.Handle(quit), Outcome::Quit);
}

TEST_F(MessageBoxTest, TheWindowShowsItsLinesAboveACentredOKButton) {
    MessageWindow box("One two three.\nFour.", "VORLAX", BuiltInMessageFont());
    ASSERT_TRUE(box.Opened());
    ASSERT_EQ(box.Lines().size(), 2u);
    // 20 margin, two lines of 20, 18 gap, 28 button, 16 margin; the least width.
    EXPECT_EQ(box.Width(), 280);
    EXPECT_EQ(box.Height(), 20 + 2 * 20 + 18 + 28 + 16);
    const SDL_Rect ok = box.OkButton();
    EXPECT_EQ(ok.x, (280 - 88) / 2);
    EXPECT_EQ(ok.y, box.Height() - 16 - 28);
    EXPECT_EQ(ok.w, 88);
    EXPECT_EQ(ok.h, 28);

    box.Draw();
    SDL_Surface* s = SDL_GetWindowSurface(box.Window());
    ASSERT_NE(s, nullptr);
    ASSERT_EQ(s->w, box.Width());
    const auto at = [&](int x, int y) {
        Uint32 pixel = 0;
        const auto* row = static_cast<const std::uint8_t*>(s->pixels) + y * s->pitch;
        std::memcpy(&pixel, row + x * s->format->BytesPerPixel, s->format->BytesPerPixel);
        Uint8 r, g, b;
        SDL_GetRGB(pixel, s->format, &r, &g, &b);
        return std::array<int, 3>{r, g, b};
    };
    const std::array<int, 3> back{240, 240, 240}, black{0, 0, 0}, edge{0, 120, 215};
    EXPECT_EQ(at(0, 0), back);
    EXPECT_EQ(at(box.Width() - 1, box.Height() - 1), back);
    EXPECT_EQ(at(ok.x, ok.y), edge);
    EXPECT_EQ(at(ok.x + ok.w - 1, ok.y + ok.h - 1), edge);
    EXPECT_EQ(at(ok.x - 1, ok.y), back);
    EXPECT_EQ(at(ok.x + 2, ok.y + 2), (std::array<int, 3>{225, 225, 225}));
    // "O" of One: its left stroke is glyph column 0, rows 1 to 5, drawn 2 x 2
    // from (20, 20); "F" of Four starts the second line 20 pixels lower.
    EXPECT_EQ(at(20, 20 + 2), black);
    EXPECT_EQ(at(20, 20), back);  // the O's rounded corner
    EXPECT_EQ(at(20, 40), black);
    EXPECT_EQ(at(20 + 8, 40), black);  // the top bar of F
    // OK is drawn in the middle of the button.
    int dark = 0;
    for (int y = ok.y; y < ok.y + ok.h; ++y)
        for (int x = ok.x; x < ok.x + ok.w; ++x) dark += at(x, y) == black ? 1 : 0;
    EXPECT_GT(dark, 40);
}

TEST_F(MessageBoxTest, TheBuiltInFontHasAGlyphForEveryPrintableCharacter) {
    for (char32_t c = 33; c < 127; ++c) {
        const std::uint8_t* rows = builtin_font::Glyph(c);
        int bits = 0;
        for (int r = 0; r < builtin_font::kGlyphRows; ++r) bits |= rows[r];
        EXPECT_NE(bits, 0) << static_cast<char>(c);
        EXPECT_EQ(bits & ~0x1F, 0) << static_cast<char>(c);
        for (char32_t d = c + 1; d < 127; ++d)
            EXPECT_NE(std::memcmp(rows, builtin_font::Glyph(d), builtin_font::kGlyphRows), 0)
                << static_cast<char>(c) << " and " << static_cast<char>(d) << " look the same";
    }
    EXPECT_EQ(builtin_font::Glyph(U'\u00E9'), builtin_font::Glyph('?'));
    EXPECT_EQ(builtin_font::CodePoints("a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x9A\x80"),
              (std::vector<char32_t>{U'a', U'\u00E9', U'\u20AC', U'\U0001F680'}));
    // A broken sequence counts one replacement per byte it cannot use.
    EXPECT_EQ(builtin_font::CodePoints("\xC3x\xFF"), (std::vector<char32_t>{0xFFFD, U'x', 0xFFFD}));
}

TEST_F(MessageBoxTest, TheLiberationFontMeasuresAndDrawsWhenItIsThere) {
    TTF_Font* ttf = nullptr;
    for (const std::string& folder :
         {platform_->ProgramFolder(), std::string("/usr/share/fonts/truetype/liberation")}) {
        if ((ttf = TTF_OpenFont((folder + "/LiberationSans-Regular.ttf").c_str(), 15))) break;
    }
    if (ttf == nullptr) GTEST_SKIP() << "Liberation Sans not installed";
    {
        MessageWindow box(std::string(200, 'x') + " end", "VORLAX", TtfMessageFont(ttf));
        ASSERT_TRUE(box.Opened());
        EXPECT_LE(box.Width(), 480);  // lines of at most 440 and the margins
        for (const std::string& line : box.Lines()) {
            int w = 0, h = 0;
            TTF_SizeUTF8(ttf, line.c_str(), &w, &h);
            EXPECT_LE(w, 440) << line;
        }
        EXPECT_EQ(box.Lines().back(), "end");
        box.Draw();
    }
    TTF_CloseFont(ttf);
}

}  // namespace
}  // namespace vorlax
