// The SDL backend at scale 1: windows, events, what a present shows, text
// and caret, the built-in font, and the game's own message box.
#include "platform/sdl_platform.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "platform/form.h"
#include "platform/keys.h"
#include "support/sdl_fixture.h"

namespace vorlax {
namespace {

constexpr Colour kBack = RGB(1, 0, 1);
constexpr Colour kYellow = RGB(255, 255, 0);

// The bounds of the pixels of `frame` inside `r` that differ from `back`
// (x, y, right and bottom, inclusive).
std::array<int, 4> Changed(const Surface& frame, Colour back, PixelRect r) {
    std::array<int, 4> b{r.Right(), r.Bottom(), r.x - 1, r.y - 1};
    for (int y = r.y; y < r.Bottom(); ++y)
        for (int x = r.x; x < r.Right(); ++x)
            if (frame.Pixel(x, y) != back)
                b = {std::min(b[0], x), std::min(b[1], y), std::max(b[2], x), std::max(b[3], y)};
    return b;
}

// How many pixels of `frame` outside all of `rects` differ from `back`.
int CountOutside(const Surface& frame, Colour back, std::initializer_list<PixelRect> rects) {
    int n = 0;
    for (int y = 0; y < frame.Height(); ++y)
        for (int x = 0; x < frame.Width(); ++x)
            n += frame.Pixel(x, y) != back && std::none_of(rects.begin(), rects.end(), [&](auto r) {
                     return x >= r.x && y >= r.y && x < r.Right() && y < r.Bottom();
                 });
    return n;
}

// The caret's column inside `r`: the one column whose every row from the
// text's top (one below the box's) to the box's bottom is `colour`; -1 if none.
int CaretColumn(const Surface& frame, PixelRect r, Colour colour) {
    int found = -1;
    for (int x = r.x; x < r.Right(); ++x) {
        bool full = true;
        for (int y = r.y + 1; y < r.Bottom() && full; ++y) full = frame.Pixel(x, y) == colour;
        if (full) found = found == -1 ? x : -2;
    }
    return found;
}

class SdlPlatformTest : public testing::SdlTest {
  protected:
    SdlPlatformTest() {
        Start();
        display.SetBackColor(kBack);
    }
    // Shows the display form cleared to its back colour and returns what reaches the window.
    Surface Present() {
        display.Show();
        display.Cls();
        display.Refresh();
        return platform->LastFrame(display);
    }
    Surface Yield() {
        platform->DoEvents();
        return platform->LastFrame(display);
    }
    // A transparent label of yellow text, centred.
    Label& AddLabel(PixelRect r, const std::string& caption, double points = 24) {
        auto& label = display.Add<Label>("L", r.x, r.y, r.width, r.height);
        label.SetCaption(caption);
        label.SetFont({points, true});
        label.SetForeColor(kYellow);
        label.SetAlignment(Align::Centre);
        label.SetTransparent(true);
        return label;
    }
    void ShowLogging(std::initializer_list<Form*> forms) { testing::ShowLogging(forms, log); }

    Form display{"DisplayForm", "VORLAX", 785, 617};
    std::vector<std::string> log;
};

TEST_F(SdlPlatformTest, TheYieldPresentsWhatChangedInExactColoursAndVisibleControlsInSightOnly) {
    auto& opaque = display.Add<Label>("Opaque", 10, 20, 30, 15);
    opaque.SetBackColor(RGB(0, 0, 200));
    display.Add<Label>("Hidden", 100, 20, 30, 15).SetVisible(false);
    auto& pic = display.Add<PictureBox>("CollisionPict", 640, 40, 129, 89);
    for (int y = 0; y < 89; ++y)
        for (int x = 0; x < 129; ++x) pic.Image().SetPixel(x, y, RGB(x, y, 77));
    Surface frame = Present();
    EXPECT_EQ(frame.Pixel(39, 34), RGB(0, 0, 200));
    for (int y = 0; y < 89; ++y)
        for (int x = 0; x < 129; ++x) ASSERT_EQ(frame.Pixel(640 + x, 40 + y), RGB(x, y, 77));
    EXPECT_EQ(CountOutside(frame, kBack, {{10, 20, 30, 15}, {640, 40, 129, 89}}), 0);
    display.DrawLine(0, 50, 50, 50, RGB(10, 20, 30));
    EXPECT_EQ(platform->LastFrame(display).Pixel(10, 50), kBack);  // not before the yield
    EXPECT_EQ(Yield().Pixel(10, 50), RGB(10, 20, 30));
    // A change the form was not told of waits for the next present; an
    // exposed window is shown again although nothing changed.
    display.Image().SetPixel(20, 60, RGB(40, 50, 60));
    EXPECT_EQ(Yield().Pixel(20, 60), kBack);
    PushWindowEvent(WindowId(display), SDL_WINDOWEVENT_EXPOSED);
    EXPECT_EQ(Yield().Pixel(20, 60), RGB(40, 50, 60));
}

TEST_F(SdlPlatformTest, AFocusedTextBoxShowsACaretThatScrollsLongTextIntoView) {
    if (FontFolder().empty()) GTEST_SKIP() << "Liberation Sans not installed";
    const PixelRect r{50, 50, 80, 25};
    auto& box = display.Add<TextBox>("NameText", r.x, r.y, r.width, r.height);
    box.SetFont({15.75, true});
    box.SetForeColor(kYellow);
    box.SetBackColor(0);
    box.SetAlignment(Align::Centre);
    Surface frame = Present();
    EXPECT_EQ(CountOutside(frame, kBack, {r}), 0);
    EXPECT_EQ(CaretColumn(frame, r, kYellow), -1) << "no caret without the focus";
    box.SetFocus();
    EXPECT_EQ(CaretColumn(Yield(), r, kYellow), r.x + 1 + 78 / 2);  // centred
    // Typed past the right edge: the view follows the caret, which stands
    // in the last column inside the box's one-pixel margin.
    PushText("ABCDEFGHIJKLMNOP");
    frame = Yield();
    EXPECT_EQ(CaretColumn(frame, r, kYellow), r.Right() - 2);
    EXPECT_EQ(frame.Pixel(r.x, 60), 0u) << "the margin stays clear";
    EXPECT_GE(Changed(frame, 0, r)[1], r.y + 1) << "text one pixel below the top";
    PushKey(SDL_SCANCODE_HOME);
    EXPECT_EQ(CaretColumn(Yield(), r, kYellow), r.x + 1);
    PushKey(SDL_SCANCODE_END);
    EXPECT_TRUE(Yield() == frame);
    // Not being edited, a long text shows from its start, whatever its caret.
    box.SetEnabled(false);
    frame = Yield();
    box.SetText(box.Text() + "XYZ");
    EXPECT_TRUE(Yield() == frame) << "more text at its end changes nothing in sight";
}

TEST_F(SdlPlatformTest, WithoutAFontFileTextIsDrawnInTheBuiltInFontAfterOneWarning) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::path(::testing::TempDir()) / "vorlax-broken-fonts";
    fs::create_directories(dir);
    std::ofstream(dir / "LiberationSans-Bold.ttf") << "this is not a font";
    platform->SetFontFolders({dir.string(), (dir / "nowhere").string()});
    // Letters in 6 x 10 cells of 4 x 4 pixels for 32-pixel text, of 6 x 6
    // for 48: "AB CD" is 180 wide then, too wide for 170.
    const PixelRect r{10, 10, 300, 50}, two{10, 100, 170, 130};
    auto& label = AddLabel(r, "VORLAX");
    AddLabel(two, "AB CD", 36).SetWordWrap(true);
    ::testing::internal::CaptureStderr();
    Present();
    label.SetCaption("AGAIN");
    const Surface frame = Yield();
    const std::string err = ::testing::internal::GetCapturedStderr();
    fs::remove_all(dir);
    EXPECT_NE(err.find("LiberationSans-Bold.ttf"), std::string::npos) << err;
    EXPECT_EQ(err.find("Bold"), err.rfind("Bold")) << "warned more than once: " << err;
    const auto [left, top, right, bottom] = Changed(frame, kBack, r);
    EXPECT_EQ(right - left + 1, (5 * 6 - 1) * 4);
    EXPECT_EQ(left - r.x + 4, r.Right() - 1 - right);  // centred, with the last cell's gap
    EXPECT_EQ(top, r.y);
    EXPECT_GE(Changed(frame, kBack, two)[3], 100 + 60) << "two lines";
    EXPECT_EQ(CountOutside(frame, kBack, {r, two}), 0);
}

void Click(std::uint32_t window, int x, int y, Uint32 type, Uint8 button = SDL_BUTTON_LEFT) {
    SDL_Event e{type};
    e.button = {type, 0, window, 0, button, 0, 1, 0, x, y};
    SDL_PushEvent(&e);
}

TEST_F(SdlPlatformTest,
       TheOwnMessageBoxWaitsForAnAnswerAndGivesTheKeyboardBackAsTheWindowSystemDoes) {
    Form form("ScoreForm", "High Score", 200, 100);
    auto& name = form.Add<TextBox>("NameText", 10, 10, 120, 24);
    ShowLogging({&display, &form});
    name.SetFocus();
    for (int answer = 0; answer < 5; ++answer) {
        int idles = 0;
        platform->SetIdleTask([&] {
            Form* box = platform->ActiveForm();
            if (++idles == 500) Push(SDL_Event{SDL_QUIT});  // never answered: give up
            if (idles > 1 || box == nullptr || box == &form) return;
            // No answer: a held key repeating, a key for another window or
            // not an answer, a click let go beside OK or begun beside it.
            // Then the answer, and a key for the game.
            const std::uint32_t id = WindowId(*box);
            const Control& ok = *box->Controls().at(1);  // the button's frame, at scale 1
            const PixelRect r{ok.Left(), ok.Top(), ok.Width(), ok.Height()};
            PushKey(SDL_SCANCODE_RETURN, id, /*repeat=*/true);
            PushKey(SDL_SCANCODE_ESCAPE, id + 1000);
            PushKey(SDL_SCANCODE_A, id);
            Click(id, r.x, r.y, SDL_MOUSEBUTTONDOWN);
            Click(id, r.Right(), r.y, SDL_MOUSEBUTTONUP);
            Click(id, r.x - 1, r.y, SDL_MOUSEBUTTONDOWN);
            Click(id, r.x, r.y, SDL_MOUSEBUTTONUP);
            const SDL_Scancode keys[] = {SDL_SCANCODE_RETURN, SDL_SCANCODE_KP_ENTER,
                                         SDL_SCANCODE_ESCAPE, SDL_SCANCODE_SPACE};
            if (answer < 4) PushKey(keys[answer], id);
            if (answer == 4) Click(id, r.Right() - 1, r.Bottom() - 1, SDL_MOUSEBUTTONDOWN);
            if (answer == 4) Click(id, r.x, r.y, SDL_MOUSEBUTTONUP);
            PushKey(SDL_SCANCODE_F2);
        });
        platform->ShowOwnMessageBox("Something went wrong.", "VORLAX");
        EXPECT_TRUE(name.HasFocus() && SDL_IsTextInputActive());
        platform->DoEvents();
        EXPECT_EQ(log, std::vector<std::string>{"ScoreForm113"}) << "answer " << answer;
        log.clear();
    }
    platform->SetIdleTask(nullptr);  // it counts in a variable of the loop's
    // The window system moves the focus too, and typed text follows it.
    PushWindowEvent(WindowId(form), SDL_WINDOWEVENT_FOCUS_LOST);
    PushKey(SDL_SCANCODE_X);  // nobody has the focus: dropped
    platform->DoEvents();
    EXPECT_FALSE(SDL_IsTextInputActive());
    PushWindowEvent(WindowId(form), SDL_WINDOWEVENT_FOCUS_GAINED);
    PushKey(SDL_SCANCODE_SPACE);
    // A quit unloads every form, the first opened (the game's main window) first.
    Push(SDL_Event{SDL_QUIT});
    platform->RunEventLoop();
    EXPECT_EQ(log, (std::vector<std::string>{"ScoreForm32", "DisplayForm gone", "ScoreForm gone"}));
}

}  // namespace
}  // namespace vorlax

namespace vorlax {
namespace {

// What a window shows when only the changes are sent is what it shows when
// everything is: at whole and other factors, with the picture changing under
// controls, and controls changing, moving and hiding over it.
using SdlPresentTest = testing::SdlTest;

TEST_F(SdlPresentTest, AWindowShowingOnlyWhatChangedShowsWhatItWouldShowWhole) {
    for (const bool anyFactor : {false, true}) {
        Start({3, false, anyFactor});
        Form form{"DisplayForm", "VORLAX", 120, 90};
        form.SetBackColor(kBack);
        auto& box = form.Add<TextBox>("Text1", 0, 0, 60, 14);
        box.SetText("Score");
        box.SetBackColor(RGB(0, 0, 120));
        auto& label = form.Add<Label>("Label1", 40, 50, 50, 20);
        label.SetCaption("VORLAX");
        label.SetTransparent(true);
        label.SetForeColor(kYellow);
        form.Show();
        form.Cls();
        if (anyFactor) SDL_SetWindowSize(platform->WindowOf(form), 300, 250);  // 2.6
        // Each step is shown as the game shows it, then compared with the
        // same picture sent whole after an expose.
        const std::function<void()> steps[] = {
            [&] { form.DrawEllipse(10, 10, 14, 14); },
            [&] {
                form.Cls();  // the star moves under the box and the label
                form.DrawEllipse(50, 10, 53, 16);
                form.DrawLine(0, 55, 120, 58, RGB(0, 255, 0));
            },
            [&] { form.Cls(); },
            [&] { box.SetText("Score 10"); },
            [&] { box.SetLeft(30); },
            [&] { label.SetVisible(false); },
            [&] {
                form.SetBackColor(RGB(0, 0, 40));
                form.Cls();
            },
        };
        for (std::size_t i = 0; i < std::size(steps); ++i) {
            steps[i]();
            platform->DoEvents();
            const Surface shown = platform->LastFrame(form);
            PushWindowEvent(WindowId(form), SDL_WINDOWEVENT_EXPOSED);
            platform->DoEvents();
            ASSERT_EQ(shown, platform->LastFrame(form))
                << "step " << i << ", any factor " << anyFactor;
        }
        form.Unload();
    }
}

}  // namespace
}  // namespace vorlax
