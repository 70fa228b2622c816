// The game's own message window: its lines, what dismisses it and what does
// not, and what it draws. The end-to-end tests show it on a real X server.
#include "platform/sdl_message_box.h"

#include <SDL.h>
#include <SDL_ttf.h>
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>

#include "platform/builtin_font.h"
#include "support/sdl_fixture.h"

namespace vorlax {
namespace {

using Outcome = MessageWindow::Outcome;

class MessageBoxTest : public testing::SdlTest {
  protected:
    MessageBoxTest() { Start(); }

    static SDL_Event Key(std::uint32_t window, SDL_Scancode code, bool repeat = false) {
        SDL_Event e{SDL_KEYDOWN};
        e.key.windowID = window;
        e.key.repeat = repeat ? 1 : 0;
        e.key.keysym.scancode = code;
        return e;
    }
    static SDL_Event Button(Uint32 type, std::uint32_t window, int x, int y,
                            Uint8 button = SDL_BUTTON_LEFT) {
        SDL_Event e{type};
        e.button.windowID = window;
        e.button.button = button;
        e.button.x = x;
        e.button.y = y;
        return e;
    }
};

TEST_F(MessageBoxTest, TextIsWrappedByWordsAndLongWordsAreBrokenToFitTheWindow) {
    auto font = BuiltInMessageFont();  // 12 pixels a character: 36 fit in 440
    EXPECT_EQ(font->Width("Zo\xC3\xAB"), 36);
    const std::string path = "/" + std::string(80, 'p') + "/Ship.bmp";
    EXPECT_EQ(MessageLines("Cannot load " + path + " now", 440, *font),
              (std::vector<std::string>{"Cannot load", path.substr(0, 36), path.substr(36, 36),
                                        path.substr(72), "now"}));
    EXPECT_EQ(MessageLines("a\nb", 440, *font), (std::vector<std::string>{"a", "b"}));
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
    const std::uint32_t id = box.WindowId(), other = id + 1000;
    for (SDL_Scancode key :
         {SDL_SCANCODE_RETURN, SDL_SCANCODE_KP_ENTER, SDL_SCANCODE_ESCAPE, SDL_SCANCODE_SPACE}) {
        EXPECT_EQ(box.Handle(Key(id, key)), Outcome::Dismissed) << key;
        // Held over from before the box, or meant for another window: no answer.
        EXPECT_EQ(box.Handle(Key(id, key, true)), Outcome::Open) << key;
        EXPECT_EQ(box.Handle(Key(other, key)), Outcome::Open) << key;
    }
    EXPECT_EQ(box.Handle(Key(id, SDL_SCANCODE_A)), Outcome::Open);

    // A click is a left-button press and release, both on OK and in the box.
    const SDL_Rect ok = box.OkButton();
    const int cx = ok.x + ok.w / 2, cy = ok.y + ok.h / 2, beside = ok.x + ok.w;
    const struct {
        int pressX, releaseX;
        Uint8 button;
        std::uint32_t window;
        Outcome outcome;
    } clicks[] = {
        {cx, cx, SDL_BUTTON_LEFT, id, Outcome::Dismissed},
        {cx, beside, SDL_BUTTON_LEFT, id, Outcome::Open},
        {-1, cx, SDL_BUTTON_LEFT, id, Outcome::Open},  // a release without a press
        {beside, cx, SDL_BUTTON_LEFT, id, Outcome::Open},
        {cx, cx, SDL_BUTTON_RIGHT, id, Outcome::Open},
        {cx, cx, SDL_BUTTON_LEFT, other, Outcome::Open},
    };
    for (const auto& c : clicks) {
        if (c.pressX >= 0) {
            EXPECT_EQ(box.Handle(Button(SDL_MOUSEBUTTONDOWN, c.window, c.pressX, cy, c.button)),
                      Outcome::Open);
        }
        EXPECT_EQ(box.Handle(Button(SDL_MOUSEBUTTONUP, c.window, c.releaseX, cy, c.button)),
                  c.outcome)
            << c.pressX << " to " << c.releaseX;
    }

    SDL_Event close{SDL_WINDOWEVENT};
    close.window.event = SDL_WINDOWEVENT_CLOSE;
    close.window.windowID = other;
    EXPECT_EQ(box.Handle(close), Outcome::Open);
    close.window.windowID = id;
    EXPECT_EQ(box.Handle(close), Outcome::Dismissed);
    EXPECT_EQ(box.Handle(SDL_Event{SDL_QUIT}), Outcome::Quit);
}

TEST_F(MessageBoxTest, TheWindowShowsItsLinesAboveACentredOKButton) {
    MessageWindow box("One two three.\nFour.", "VORLAX", BuiltInMessageFont());
    ASSERT_TRUE(box.Opened());
    // 20 margin, two lines of 20, 18 gap, 28 button, 16 margin; the least width.
    EXPECT_EQ(box.Width(), 280);
    EXPECT_EQ(box.Height(), 20 + 2 * 20 + 18 + 28 + 16);
    const SDL_Rect ok = box.OkButton();
    EXPECT_EQ(ok.x, (280 - 88) / 2);
    EXPECT_EQ(ok.y, box.Height() - 16 - 28);

    box.Draw();
    SDL_Surface* s = SDL_GetWindowSurface(box.Window());
    ASSERT_NE(s, nullptr);
    const auto at = [&](int x, int y) {
        Uint32 pixel = 0;
        const auto* row = static_cast<const std::uint8_t*>(s->pixels) + y * s->pitch;
        std::memcpy(&pixel, row + x * s->format->BytesPerPixel, s->format->BytesPerPixel);
        Uint8 r, g, b;
        SDL_GetRGB(pixel, s->format, &r, &g, &b);
        return std::array<int, 3>{r, g, b};
    };
    const std::array<int, 3> back{240, 240, 240}, black{0, 0, 0}, edge{0, 120, 215};
    EXPECT_EQ(at(box.Width() - 1, box.Height() - 1), back);
    EXPECT_EQ(at(ok.x + ok.w - 1, ok.y + ok.h - 1), edge);
    EXPECT_EQ(at(ok.x - 1, ok.y), back);
    EXPECT_EQ(at(ok.x + 2, ok.y + 2), (std::array<int, 3>{225, 225, 225}));
    // "O" of One: its left stroke is glyph column 0, rows 1 to 5, drawn 2 x 2
    // from (20, 20); "F" of Four starts the second line 20 pixels lower.
    EXPECT_EQ(at(20, 20 + 2), black);
    EXPECT_EQ(at(20, 20), back);  // the O's rounded corner
    EXPECT_EQ(at(20 + 8, 40), black);
    int dark = 0;  // OK in the middle of the button
    for (int y = ok.y; y < ok.y + ok.h; ++y)
        for (int x = ok.x; x < ok.x + ok.w; ++x) dark += at(x, y) == black;
    EXPECT_GT(dark, 40);
}

TEST_F(MessageBoxTest, TheBuiltInFontHasADistinctGlyphForEveryPrintableCharacter) {
    for (char32_t c = 33; c < 127; ++c)
        for (char32_t d = c + 1; d < 127; ++d)
            EXPECT_NE(std::memcmp(builtin_font::Glyph(c), builtin_font::Glyph(d),
                                  builtin_font::kGlyphRows),
                      0)
                << static_cast<char>(c) << " and " << static_cast<char>(d) << " look the same";
    EXPECT_EQ(builtin_font::CodePoints("a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x9A\x80"),
              (std::vector<char32_t>{U'a', U'\u00E9', U'\u20AC', U'\U0001F680'}));
    // A broken sequence counts one replacement per byte it cannot use.
    EXPECT_EQ(builtin_font::CodePoints("\xC3x\xFF"), (std::vector<char32_t>{0xFFFD, U'x', 0xFFFD}));
}

TEST_F(MessageBoxTest, WithLiberationSansNoLineIsWiderThanTheWindowAllows) {
    TTF_Font* ttf = TTF_OpenFont((FontFolder() + "/LiberationSans-Regular.ttf").c_str(), 15);
    if (ttf == nullptr) GTEST_SKIP() << "Liberation Sans not installed";
    {
        MessageWindow box(std::string(200, 'x') + " end", "VORLAX", TtfMessageFont(ttf));
        EXPECT_LE(box.Width(), 480);  // lines of at most 440 and the margins
        for (const std::string& line : box.Lines()) {
            int w = 0, h = 0;
            TTF_SizeUTF8(ttf, line.c_str(), &w, &h);
            EXPECT_LE(w, 440) << line;
        }
        EXPECT_EQ(box.Lines().back(), "end");
    }
    TTF_CloseFont(ttf);
}

}  // namespace
}  // namespace vorlax
