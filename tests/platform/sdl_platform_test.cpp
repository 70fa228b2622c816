// The SDL backend at scale 1: windows, events, text input, what a present
// shows, text and caret, the built-in font, and the game's own message box.
#include "platform/sdl_platform.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/form.h"
#include "platform/keys.h"
#include "support/sdl_fixture.h"

namespace vorlax {
namespace {

constexpr Colour kBack = RGB(1, 0, 1);
constexpr Colour kYellow = RGB(255, 255, 0);

struct Rect {
    int left, top, width, height;
    bool Contains(int x, int y) const {
        return x >= left && x < left + width && y >= top && y < top + height;
    }
};

// The bounds of the pixels of `frame` inside `r` that differ from `back`.
struct Box {
    int minX = INT_MAX, minY = INT_MAX, maxX = INT_MIN, maxY = INT_MIN;
};
Box Changed(const Surface& frame, Colour back, Rect r) {
    Box b;
    for (int y = r.top; y < r.top + r.height; ++y)
        for (int x = r.left; x < r.left + r.width; ++x)
            if (frame.Pixel(x, y) != back)
                b = {std::min(b.minX, x), std::min(b.minY, y), std::max(b.maxX, x),
                     std::max(b.maxY, y)};
    return b;
}

// How many pixels of `frame` outside all of `rects` differ from `back`.
int CountOutside(const Surface& frame, Colour back, std::initializer_list<Rect> rects) {
    int n = 0;
    for (int y = 0; y < frame.Height(); ++y)
        for (int x = 0; x < frame.Width(); ++x)
            n += frame.Pixel(x, y) != back &&
                 std::none_of(rects.begin(), rects.end(), [&](Rect r) { return r.Contains(x, y); });
    return n;
}

// The caret's column inside `r`: the one column whose every row from the
// text's top (one below the box's) to the box's bottom is `colour`; -1 if none.
int CaretColumn(const Surface& frame, Rect r, Colour colour) {
    int found = -1;
    for (int x = r.left; x < r.left + r.width; ++x) {
        bool full = true;
        for (int y = r.top + 1; y < r.top + r.height && full; ++y)
            full = frame.Pixel(x, y) == colour;
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
    // Shows `form`, clears it to its back colour and returns what reaches the window.
    Surface Present(Form& form) {
        form.Show();
        form.Cls();
        form.Refresh();
        return platform->LastFrame(form);
    }
    Surface Yield(const Form& form) {
        platform->DoEvents();
        return platform->LastFrame(form);
    }
    // Shows `forms` in order, each logging its keys ("A113") and unload ("A gone").
    void ShowLogging(std::initializer_list<Form*> forms) {
        for (Form* f : forms) {
            const std::string name = f->Name();
            f->OnKeyDown = [this, name](int k) { log.push_back(name + std::to_string(k)); };
            f->OnUnload = [this, name] { log.push_back(name + " gone"); };
            f->Show();
        }
    }
    Label& AddLabel(Rect r, const std::string& caption, Font font) {
        auto& l = display.Add<Label>("L", r.left, r.top, r.width, r.height);
        l.SetCaption(caption);
        l.SetFont(font);
        l.SetForeColor(kYellow);
        l.SetAlignment(Align::Centre);
        l.SetTransparent(true);
        return l;
    }

    Form display{"DisplayForm", "VORLAX", 785, 617};
    std::vector<std::string> log;
};

TEST_F(SdlPlatformTest, AWindowFollowsItsFormAndTheFilesAreBesideTheExecutable) {
    display.Show();
    SDL_Window* w = platform->WindowOf(display);
    ASSERT_NE(w, nullptr);
    const auto size = [&] {
        std::pair<int, int> wh;
        SDL_GetWindowSize(w, &wh.first, &wh.second);
        return wh;
    };
    EXPECT_EQ(size(), std::make_pair(785, 617));
    display.Hide();
    EXPECT_EQ(platform->WindowOf(display), w);  // hidden, not destroyed
    EXPECT_NE(SDL_GetWindowFlags(w) & SDL_WINDOW_HIDDEN, 0u);
    display.SetClientSize(300, 200);  // while hidden
    display.Show();
    EXPECT_EQ(size(), std::make_pair(300, 200));
    display.Unload();
    EXPECT_EQ(platform->WindowOf(display), nullptr);

    const std::string folder = platform->ProgramFolder();
    EXPECT_EQ(ProgramFile("Hiscore.txt"), folder + "/Hiscore.txt");
    EXPECT_EQ(std::filesystem::canonical(folder),
              std::filesystem::canonical("/proc/self/exe").parent_path());
    EXPECT_EQ(platform->ScoreFolder(), folder);  // not installed: the table stays beside it
    ::testing::internal::CaptureStderr();
    platform->MessageBox("Bitmap Not Found", "VORLAX");  // no screen: only the line
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "VORLAX: Bitmap Not Found\n");
}

TEST_F(SdlPlatformTest, KeysGoToTheFocusWhateverWindowTheyNameAndQuitUnloadsTheFirstFormFirst) {
    Form a("A", "A", 100, 100), b("B", "B", 100, 100);
    ShowLogging({&a, &b});
    PushKey(SDL_SCANCODE_F2, WindowId(a));
    PushKey(SDL_SCANCODE_LEFT, WindowId(b), /*repeat=*/true);
    PushKey(SDL_SCANCODE_F24);  // a key the game has no code for
    PushKey(SDL_SCANCODE_KP_ENTER);
    // The window system moves the focus too; while nobody has it, keys are dropped.
    PushWindowEvent(WindowId(a), SDL_WINDOWEVENT_FOCUS_GAINED);
    PushKey(SDL_SCANCODE_SPACE);
    PushWindowEvent(WindowId(a), SDL_WINDOWEVENT_FOCUS_LOST);
    PushKey(SDL_SCANCODE_X);
    platform->DoEvents();
    EXPECT_EQ(log, (std::vector<std::string>{"B113", "B37", "B13", "A32"}));
    // Quitting unloads every form, the first opened (the game's main window) first.
    log.clear();
    Push(SDL_Event{SDL_QUIT});
    platform->RunEventLoop();
    EXPECT_EQ(log, (std::vector<std::string>{"A gone", "B gone"}));
}

TEST_F(SdlPlatformTest, TheYieldPresentsWhatChangedInExactColoursAndVisibleControlsInSightOnly) {
    auto& opaque = display.Add<Label>("Opaque", 10, 20, 30, 15);
    opaque.SetBackColor(RGB(0, 0, 200));
    display.Add<Label>("Hidden", 100, 20, 30, 15).SetVisible(false);
    auto& pic = display.Add<PictureBox>("CollisionPict", 640, 40, 129, 89);
    for (int y = 0; y < 89; ++y)
        for (int x = 0; x < 129; ++x) pic.Image().SetPixel(x, y, RGB(x, y, 77));
    Surface frame = Present(display);
    EXPECT_EQ(frame.Pixel(39, 34), RGB(0, 0, 200));
    for (int y = 0; y < 89; ++y)
        for (int x = 0; x < 129; ++x) ASSERT_EQ(frame.Pixel(640 + x, 40 + y), RGB(x, y, 77));
    EXPECT_EQ(CountOutside(frame, kBack, {{10, 20, 30, 15}, {640, 40, 129, 89}}), 0);
    pic.SetLeft(785 + 20);  // out of sight, as during play

    display.DrawLine(0, 50, 50, 50, RGB(10, 20, 30));
    EXPECT_EQ(platform->LastFrame(display).Pixel(10, 50), kBack);  // not shown before the yield
    EXPECT_EQ(Yield(display).Pixel(10, 50), RGB(10, 20, 30));
    // A change the form was not told of waits for the next present; an
    // exposed window is shown again although nothing changed.
    display.Image().SetPixel(20, 60, RGB(40, 50, 60));
    EXPECT_EQ(Yield(display).Pixel(20, 60), kBack);
    PushWindowEvent(WindowId(display), SDL_WINDOWEVENT_EXPOSED);
    EXPECT_EQ(Yield(display).Pixel(20, 60), RGB(40, 50, 60));
    opaque.SetVisible(false);  // without it the window shows the image to the last bit
    display.Refresh();
    EXPECT_TRUE(platform->LastFrame(display) == display.Image());
}

TEST_F(SdlPlatformTest, LabelsWrapAndACaretScrollsLongTextIntoView) {
    if (FontFolder().empty()) GTEST_SKIP() << "Liberation Sans not installed";
    const Rect wrapped{88, 300, 401, 121}, r{50, 50, 80, 25};
    AddLabel(wrapped, "In Space No One Can Hear You Scream!  Or Hear Anything.", Font{24, true})
        .SetWordWrap(true);
    auto& box = display.Add<TextBox>("NameText", r.left, r.top, r.width, r.height);
    box.SetFont(Font{15.75, true});
    box.SetForeColor(kYellow);
    box.SetBackColor(0);
    box.SetAlignment(Align::Centre);
    Surface frame = Present(display);
    EXPECT_EQ(CountOutside(frame, kBack, {wrapped, r}), 0);
    const Box w = Changed(frame, kBack, wrapped);
    EXPECT_GT(w.maxY - w.minY, 70);  // at least three lines of 32-pixel text

    EXPECT_EQ(CaretColumn(frame, r, kYellow), -1) << "no caret without the focus";
    box.SetFocus();
    EXPECT_EQ(CaretColumn(Yield(display), r, kYellow), r.left + 1 + 78 / 2);  // centred
    // Typed past the right edge: the view follows the caret, which stands
    // in the last column inside the box's one-pixel margin.
    PushText("ABCDEFGHIJKLMNOP");
    frame = Yield(display);
    EXPECT_EQ(CaretColumn(frame, r, kYellow), r.left + r.width - 2);
    EXPECT_EQ(frame.Pixel(r.left, 60), 0u) << "the margin stays clear";
    EXPECT_GE(Changed(frame, 0, r).minY, r.top + 1) << "text one pixel below the top";
    PushKey(SDL_SCANCODE_HOME);
    EXPECT_EQ(CaretColumn(Yield(display), r, kYellow), r.left + 1);
    PushKey(SDL_SCANCODE_END);
    EXPECT_TRUE(Yield(display) == frame);
}

TEST_F(SdlPlatformTest, WithoutAFontFileTextIsDrawnInTheBuiltInFontAfterOneWarning) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::path(::testing::TempDir()) / "vorlax-broken-fonts";
    fs::create_directories(dir);
    std::ofstream(dir / "LiberationSans-Bold.ttf") << "this is not a font";
    platform->SetFontFolders({dir.string(), (dir / "nowhere").string()});
    const Rect r{10, 10, 300, 50};
    auto& bold = AddLabel(r, "VORLAX", Font{24, true});
    ::testing::internal::CaptureStderr();
    Present(display);
    bold.SetCaption("AGAIN");
    const Surface frame = Yield(display);
    const std::string err = ::testing::internal::GetCapturedStderr();
    fs::remove_all(dir);
    const std::string file = "LiberationSans-Bold.ttf";
    EXPECT_NE(err.find(file), std::string::npos) << err;
    EXPECT_EQ(err.find(file), err.rfind(file)) << "warned more than once: " << err;
    // Five letters in 6 x 10 cells of 4 x 4 pixels (32-pixel text), centred.
    const Box text = Changed(frame, kBack, r);
    EXPECT_EQ(text.maxX - text.minX + 1, (5 * 6 - 1) * 4);
    EXPECT_EQ(text.minX - r.left + 4, r.left + r.width - 1 - text.maxX);  // + the last gap
    EXPECT_EQ(text.minY, r.top);
    EXPECT_EQ(CountOutside(frame, kBack, {r}), 0);
}

void Click(std::uint32_t window, int x, int y, Uint32 type, Uint8 button = SDL_BUTTON_LEFT) {
    SDL_Event e{type};
    e.button = {type, 0, window, 0, button, 0, 1, 0, x, y};
    SDL_PushEvent(&e);
}

TEST_F(SdlPlatformTest, TheOwnMessageBoxWaitsForAnAnswerAndGivesTheKeyboardBack) {
    Form form("ScoreForm", "High Score", 200, 100);
    auto& name = form.Add<TextBox>("NameText", 10, 10, 120, 24);
    ShowLogging({&form});
    name.SetFocus();
    for (int answer = 0; answer < 5; ++answer) {
        int idles = 0;
        platform->SetIdleTask([&] {
            Form* box = platform->ActiveForm();
            if (++idles == 500) Push(SDL_Event{SDL_QUIT});  // never answered: give up
            if (idles > 1 || box == nullptr || box == &form) return;
            // No answer: a held key repeating, a key for another window or
            // not an answer, a click let go beside OK or begun beside it, a
            // right click. Then the answer, and a key for the game.
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
            Click(id, r.x, r.y, SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT);
            Click(id, r.x, r.y, SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT);
            const SDL_Scancode keys[] = {SDL_SCANCODE_RETURN, SDL_SCANCODE_ESCAPE,
                                         SDL_SCANCODE_SPACE};
            if (answer < 3) PushKey(keys[answer], id);
            if (answer == 3) Click(id, r.Right() - 1, r.Bottom() - 1, SDL_MOUSEBUTTONDOWN);
            if (answer == 3) Click(id, r.x, r.y, SDL_MOUSEBUTTONUP);
            if (answer == 4) PushWindowEvent(id, SDL_WINDOWEVENT_CLOSE);
            PushKey(SDL_SCANCODE_F2);
        });
        platform->ShowOwnMessageBox("Something went wrong.", "VORLAX");
        EXPECT_GT(idles, 1);
        EXPECT_TRUE(name.HasFocus() && SDL_IsTextInputActive());
        platform->DoEvents();
        EXPECT_EQ(log, std::vector<std::string>{"ScoreForm113"}) << "answer " << answer;
        log.clear();
    }
    EXPECT_EQ(platform->OpenForms(), (std::vector<Form*>{&form}));
}

}  // namespace
}  // namespace vorlax
