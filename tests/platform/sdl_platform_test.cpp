// The SDL backend's windows, events and pictures at scale 1.
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

// Where the pixels of `frame` inside `r` differ from `back`.
struct Box {
    int minX = INT_MAX, minY = INT_MAX, maxX = INT_MIN, maxY = INT_MIN, count = 0;
};
Box Changed(const Surface& frame, Colour back, Rect r) {
    Box b;
    for (int y = std::max(0, r.top); y < std::min(frame.Height(), r.top + r.height); ++y)
        for (int x = std::max(0, r.left); x < std::min(frame.Width(), r.left + r.width); ++x)
            if (frame.Pixel(x, y) != back) {
                b = {std::min(b.minX, x), std::min(b.minY, y), std::max(b.maxX, x),
                     std::max(b.maxY, y), b.count + 1};
            }
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

class SdlPlatformTest : public testing::SdlTest {
  protected:
    SdlPlatformTest() { Start(); }

    // The game's main window, in its size and back colour.
    Form& Display() {
        display_.emplace("DisplayForm", "VORLAX", 785, 617);
        display_->SetBackColor(kBack);
        return *display_;
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
    Label& AddLabel(Form& form, Rect r, const std::string& caption, Font font) {
        auto& l = form.Add<Label>("L" + std::to_string(form.Controls().size()), r.left, r.top,
                                  r.width, r.height);
        l.SetCaption(caption);
        l.SetFont(font);
        l.SetForeColor(kYellow);
        l.SetAlignment(Align::Centre);
        l.SetTransparent(true);
        return l;
    }

    std::vector<std::string> log;

  private:
    std::optional<Form> display_;
};

TEST_F(SdlPlatformTest, AWindowFollowsItsFormThroughShowResizeHideAndUnload) {
    Form main("DisplayForm", "VORLAX", 785, 617);
    main.Show();
    SDL_Window* w = platform->WindowOf(main);
    ASSERT_NE(w, nullptr);
    EXPECT_STREQ(SDL_GetWindowTitle(w), "VORLAX");
    auto size = [&] {
        std::pair<int, int> wh;
        SDL_GetWindowSize(w, &wh.first, &wh.second);
        return wh;
    };
    EXPECT_EQ(size(), std::make_pair(785, 617));
    // The player may resize it; the picture scales, the client area stays.
    EXPECT_NE(SDL_GetWindowFlags(w) & SDL_WINDOW_RESIZABLE, 0u);
    {  // A second form has a window of its own and the focus; destroyed, it takes both along.
        Form help("HelpForm", "Help / Controls", 473, 466);
        help.Show();
        EXPECT_NE(platform->WindowOf(help), w);
        EXPECT_EQ(platform->ActiveForm(), &help);
    }
    EXPECT_EQ(platform->OpenForms(), (std::vector<Form*>{&main}));
    EXPECT_EQ(platform->ActiveForm(), nullptr);

    main.Hide();
    EXPECT_EQ(platform->WindowOf(main), w);  // hidden, not destroyed
    EXPECT_NE(SDL_GetWindowFlags(w) & SDL_WINDOW_HIDDEN, 0u);
    main.SetClientSize(300, 200);  // while hidden
    main.Show();
    EXPECT_EQ(SDL_GetWindowFlags(w) & SDL_WINDOW_HIDDEN, 0u);
    EXPECT_EQ(size(), std::make_pair(300, 200));
    main.Unload();
    EXPECT_EQ(platform->WindowOf(main), nullptr);
}

TEST_F(SdlPlatformTest, TheProgramFolderIsTheExecutablesAndAMessageWithoutAScreenGoesToStderr) {
    const std::string folder = platform->ProgramFolder();
    EXPECT_NE(folder.back(), '/');
    EXPECT_EQ(ProgramFile("Hiscore.txt"), folder + "/Hiscore.txt");
    EXPECT_EQ(std::filesystem::canonical(folder),
              std::filesystem::canonical("/proc/self/exe").parent_path());
    ::testing::internal::CaptureStderr();
    platform->MessageBox("Bitmap Not Found", "VORLAX");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "VORLAX: Bitmap Not Found\n");
}

TEST_F(SdlPlatformTest, KeysGoToTheFormWithTheFocusWhateverWindowTheyName) {
    Form a("A", "A", 100, 100), b("B", "B", 100, 100);
    ShowLogging({&a, &b});
    PushKey(SDL_SCANCODE_F2, WindowId(a));
    PushKey(SDL_SCANCODE_LEFT, WindowId(b), /*repeat=*/true);
    PushKey(SDL_SCANCODE_F24);  // a key the game has no code for
    platform->DoEvents();
    a.SetFocus();
    PushKey(SDL_SCANCODE_KP_ENTER);
    PushKey(SDL_SCANCODE_RCTRL);
    platform->DoEvents(5);
    EXPECT_EQ(log, (std::vector<std::string>{"B113", "B37", "A13", "A17"}));

    // The window system moves the focus too; while nobody has it, keys are dropped.
    log.clear();
    PushWindowEvent(WindowId(b), SDL_WINDOWEVENT_FOCUS_GAINED);
    PushKey(SDL_SCANCODE_SPACE);
    PushWindowEvent(WindowId(b), SDL_WINDOWEVENT_FOCUS_LOST);
    PushKey(SDL_SCANCODE_X);
    platform->DoEvents();
    EXPECT_EQ(log, (std::vector<std::string>{"B32"}));
    // A late focus event for a hidden form does not make it active.
    b.Hide();
    PushWindowEvent(WindowId(b), SDL_WINDOWEVENT_FOCUS_GAINED);
    platform->DoEvents();
    EXPECT_EQ(platform->ActiveForm(), nullptr);
}

TEST_F(SdlPlatformTest, TextGoesToAFocusedTextBoxAndTextInputRunsOnlyThen) {
    Form form("ScoreForm", "High Score", 200, 100), other("B", "B", 200, 100);
    auto& name = form.Add<TextBox>("NameText", 10, 10, 120, 24);
    auto& holder = form.Add<PictureBox>("Picture1", 0, 80, 10, 10);
    std::vector<int> keys;
    form.OnKeyDown = [&](int k) { keys.push_back(k); };
    form.Show();
    EXPECT_FALSE(SDL_IsTextInputActive());  // SDL's default is turned off at start-up
    name.SetFocus();
    EXPECT_TRUE(SDL_IsTextInputActive());
    PushKey(SDL_SCANCODE_A);
    PushText("a");
    PushText("\xC3\xA9");  // é
    PushKey(SDL_SCANCODE_BACKSPACE);
    PushText("Z");
    platform->DoEvents();
    EXPECT_EQ(name.Text(), "aZ");
    EXPECT_EQ(keys, (std::vector<int>{'A', VK_BACK}));
    holder.SetFocus();
    EXPECT_FALSE(SDL_IsTextInputActive());

    // Every way the box loses the keyboard turns text input off.
    name.SetFocus();
    other.Show();  // another window takes the focus
    EXPECT_FALSE(SDL_IsTextInputActive());
    form.SetFocus();
    EXPECT_TRUE(SDL_IsTextInputActive());
    PushWindowEvent(WindowId(form), SDL_WINDOWEVENT_FOCUS_LOST);
    platform->DoEvents();
    EXPECT_FALSE(SDL_IsTextInputActive());
    PushWindowEvent(WindowId(form), SDL_WINDOWEVENT_FOCUS_GAINED);
    platform->DoEvents();
    EXPECT_TRUE(SDL_IsTextInputActive());
    form.Hide();
    EXPECT_FALSE(SDL_IsTextInputActive());
    form.Show();
    form.Unload();
    EXPECT_FALSE(SDL_IsTextInputActive());
}

TEST_F(SdlPlatformTest, CloseBoxAndQuitUnloadFormsAndTheLoopEndsWithTheLast) {
    Form a("A", "A", 100, 100), b("B", "B", 100, 100);
    ShowLogging({&a, &b});
    PushWindowEvent(WindowId(b), SDL_WINDOWEVENT_CLOSE);
    PushWindowEvent(WindowId(b), SDL_WINDOWEVENT_CLOSE);  // already gone: ignored
    platform->DoEvents();
    EXPECT_EQ(log, (std::vector<std::string>{"B gone"}));
    EXPECT_EQ(platform->OpenForms(), (std::vector<Form*>{&a}));

    // Quitting unloads every form, the first opened first (the game's main
    // window, whose unload ends the program); then the loop returns.
    b.Show();
    PushKey(SDL_SCANCODE_A);
    Push(SDL_Event{SDL_QUIT});
    platform->RunEventLoop();
    EXPECT_EQ(log, (std::vector<std::string>{"B gone", "B65", "A gone", "B gone"}));
    EXPECT_TRUE(platform->OpenForms().empty());
}

TEST_F(SdlPlatformTest, AKeyHandlerMayRunANestedLoopAndEndUnwindsBothClosingEveryWindow) {
    Form form("DisplayForm", "VORLAX", 100, 100), other("B", "B", 100, 100);
    auto& box = other.Add<TextBox>("Box", 0, 0, 50, 20);
    bool playing = false;
    int passes = 0;
    form.OnKeyDown = [&](int k) {
        log.push_back("key " + std::to_string(k));
        if (k == VK_F2 && !playing) {
            // A whole game inside the handler: it yields until Esc stops it.
            playing = true;
            while (playing && passes < 1000) {
                CurrentPlatform().DoEvents(1);
                if (++passes == 3) PushKey(SDL_SCANCODE_ESCAPE);  // pressed during play
            }
            log.push_back("game over");
        } else if (k == VK_ESCAPE) {
            playing = false;
        } else if (k == 'Q') {
            box.SetFocus();
            CurrentPlatform().End(7);
        }
    };
    other.OnUnload = [&] { log.push_back("unloaded"); };
    other.Show();
    form.Show();
    PushKey(SDL_SCANCODE_F2);
    PushKey(SDL_SCANCODE_A);  // already queued behind F2: the inner loop takes it
    platform->DoEvents();
    EXPECT_EQ(log, (std::vector<std::string>{"key 113", "key 65", "key 27", "game over"}));

    // An End during the next game unwinds the game and the outer loop alike,
    // closing the windows without their unload handlers.
    log.clear();
    PushKey(SDL_SCANCODE_F2);
    PushKey(SDL_SCANCODE_Q);
    PushKey(SDL_SCANCODE_ESCAPE);  // left in the queue by the end
    try {
        platform->RunEventLoop();
        ADD_FAILURE() << "End did not throw";
    } catch (const ProgramEnd& end) {
        EXPECT_EQ(end.status, 7);
    }
    EXPECT_EQ(log, (std::vector<std::string>{"key 113", "key 81"}));
    EXPECT_TRUE(platform->OpenForms().empty());
    EXPECT_EQ(platform->WindowOf(other), nullptr);
    EXPECT_FALSE(SDL_IsTextInputActive());
}

TEST_F(SdlPlatformTest, TheYieldPresentsWhatChangedInExactColoursAndVisibleControlsInSightOnly) {
    Form& form = Display();
    auto& opaque = form.Add<Label>("Opaque", 10, 20, 30, 15);
    opaque.SetBackColor(RGB(0, 0, 200));
    auto& hidden = form.Add<Label>("Hidden", 100, 20, 30, 15);
    hidden.SetBackColor(RGB(200, 0, 0));
    hidden.SetVisible(false);
    auto& pic = form.Add<PictureBox>("CollisionPict", 640, 40, 129, 89);
    for (int y = 0; y < 89; ++y)
        for (int x = 0; x < 129; ++x) pic.Image().SetPixel(x, y, RGB(x, y, 77));
    Surface frame = Present(form);
    EXPECT_EQ(frame.Pixel(39, 34), RGB(0, 0, 200));
    for (int y = 0; y < 89; ++y)
        for (int x = 0; x < 129; ++x) ASSERT_EQ(frame.Pixel(640 + x, 40 + y), RGB(x, y, 77));
    EXPECT_EQ(CountOutside(frame, kBack, {{10, 20, 30, 15}, {640, 40, 129, 89}}), 0);
    pic.SetLeft(785 + 20);  // out of sight, as during play

    form.DrawLine(0, 50, 50, 50, RGB(10, 20, 30));
    EXPECT_EQ(platform->LastFrame(form).Pixel(10, 50), kBack);  // not shown before the yield
    EXPECT_EQ(Yield(form).Pixel(10, 50), RGB(10, 20, 30));
    // A change the form was not told of waits for the next present; an
    // exposed window is shown again although nothing changed.
    form.Image().SetPixel(20, 60, RGB(40, 50, 60));
    EXPECT_EQ(Yield(form).Pixel(20, 60), kBack);
    PushWindowEvent(WindowId(form), SDL_WINDOWEVENT_EXPOSED);
    EXPECT_EQ(Yield(form).Pixel(20, 60), RGB(40, 50, 60));

    // Without the label on top, the window shows the form's image to the last bit.
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) form.Image().SetPixel(300 + x, 300 + y, RGB(x, y, 200));
    opaque.SetVisible(false);
    form.Refresh();
    EXPECT_TRUE(platform->LastFrame(form) == form.Image());
}

TEST_F(SdlPlatformTest, LabelsDrawTheirTextCentredWrappedAndInsideTheirRectanglesOnly) {
    if (FontFolder().empty()) GTEST_SKIP() << "Liberation Sans not installed";
    Form& form = Display();
    const Rect title{88, 48, 417, 105}, wrapped{88, 300, 401, 121}, oneLine{88, 450, 401, 121};
    AddLabel(form, title, "VORLAX", Font{72, true});
    const std::string tagline =
        "In Space No One Can Hear You Scream!  Or Hear Anything For That Matter.";
    AddLabel(form, wrapped, tagline, Font{24, true}).SetWordWrap(true);
    AddLabel(form, oneLine, tagline, Font{24, true});
    const Surface frame = Present(form);
    EXPECT_EQ(CountOutside(frame, kBack, {title, wrapped, oneLine}), 0);

    const Box text = Changed(frame, kBack, title);
    EXPECT_GT(text.maxY - text.minY, 50);  // 96-pixel letters
    EXPECT_LE(std::abs((text.minX - 88) - (88 + 416 - text.maxX)), 4);
    const Box w = Changed(frame, kBack, wrapped), o = Changed(frame, kBack, oneLine);
    EXPECT_GT(w.maxY - w.minY, 70);  // at least three lines of 32-pixel text
    EXPECT_LT(o.maxY - o.minY, 40);  // one line, overhanging both sides...
    EXPECT_LE(o.minX, 88 + 8);       // ...and cut at the label's edges
    EXPECT_GE(o.maxX, 88 + 400 - 8);
}

// The caret's column inside `r`: the one column whose every row from the
// text's top (one below the box's) to the box's bottom is `colour`; -1 if none.
int CaretColumn(const Surface& frame, Rect r, Colour colour) {
    int found = -1;
    for (int x = r.left; x < r.left + r.width; ++x) {
        bool full = true;
        for (int y = r.top + 1; y < r.top + r.height && full; ++y)
            full = frame.Pixel(x, y) == colour;
        if (full) {
            EXPECT_EQ(found, -1) << "two caret columns";
            found = x;
        }
    }
    return found;
}

TEST_F(SdlPlatformTest, AFocusedTextBoxShowsACaretThatLongTextScrollsToKeepInView) {
    if (FontFolder().empty()) GTEST_SKIP() << "Liberation Sans not installed";
    Form& form = Display();
    const Rect r{50, 50, 80, 25};
    auto& box = form.Add<TextBox>("NameText", r.left, r.top, r.width, r.height);
    box.SetFont(Font{15.75, true});
    box.SetForeColor(kYellow);
    box.SetBackColor(0);
    box.SetAlignment(Align::Centre);
    box.SetText("AB");
    Surface frame = Present(form);
    EXPECT_EQ(CaretColumn(frame, r, kYellow), -1) << "no caret without the focus";
    const Box ab = Changed(frame, 0, r);
    EXPECT_GE(ab.minY, r.top + 1) << "text one pixel below the top";
    EXPECT_LE(std::abs((ab.minX - r.left) - (r.left + r.width - 1 - ab.maxX)), 3);
    box.SetFocus();
    const int caret = CaretColumn(Yield(form), r, kYellow);
    EXPECT_GT(caret, ab.maxX);
    EXPECT_LE(caret, ab.maxX + 3);

    // Typed past the right edge: the view follows the caret, which stands
    // in the last column inside the box's one-pixel margin.
    PushText("CDEFGHIJKLMNOP");
    frame = Yield(form);
    EXPECT_EQ(CaretColumn(frame, r, kYellow), r.left + r.width - 2);
    EXPECT_EQ(CountOutside(frame, kBack, {r}), 0);
    EXPECT_EQ(frame.Pixel(r.left, 60), 0u) << "the margin stays clear";
    const Surface atEnd = frame;
    PushKey(SDL_SCANCODE_HOME);  // the start, the caret in the first column inside the margin
    EXPECT_EQ(CaretColumn(Yield(form), r, kYellow), r.left + 1);
    PushKey(SDL_SCANCODE_END);
    EXPECT_TRUE(Yield(form) == atEnd);

    // Deleting back to nothing centres the caret again.
    for (int i = 0; i < 16; ++i) PushKey(SDL_SCANCODE_BACKSPACE);
    EXPECT_EQ(CaretColumn(Yield(form), r, kYellow), r.left + 1 + 78 / 2);
}

TEST_F(SdlPlatformTest, ControlsOfAnySizePlaceAndTextPresentWithoutTrouble) {
    // Run under the address sanitizer, this shows that no drawing reaches
    // outside the pixels it was given: controls across every edge of the
    // window, some with no height or width at all, odd captions and fonts.
    Form& form = Display();
    const std::string captions[] = {"", "Averyveryverylongwordthatfitsnowhere and more",
                                    "two\nlines", "bad \xFF\xFE utf8", "   "};
    for (int i = 0; i < 15; ++i) {
        const Rect r{(i * 37) % 800 - 20, (i * 53) % 640 - 10, (i * 13) % 200, (i * 7) % 60};
        auto& l = AddLabel(form, r, captions[i % 5], Font{i % 2 ? 24.0 : 8.25, i % 3 == 0});
        l.SetAlignment(static_cast<Align>(i / 5));
        l.SetWordWrap(i % 2 == 0);
        l.SetTransparent(i % 4 < 2);
        form.Add<TextBox>("T" + std::to_string(i), r.left + 30, r.top, r.width / 2, 25)
            .SetText(captions[i % 5]);
    }
    AddLabel(form, {0, 0, 785, 617}, "W", Font{400, true});
    AddLabel(form, {0, 0, 50, 10}, "x", Font{0.1, false});
    Present(form);
    form.SetClientSize(400, 300);
    EXPECT_EQ(Yield(form).Width(), 400);
}

TEST_F(SdlPlatformTest, MissingOrBrokenFontsWarnOnceAndDrawNoText) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::path(::testing::TempDir()) / "vorlax-broken-fonts";
    fs::create_directories(dir);
    std::ofstream(dir / "LiberationSans-Bold.ttf") << "this is not a font";
    platform->SetFontFolders({dir.string(), (dir / "nowhere").string()});
    Form& form = Display();
    auto& bold = AddLabel(form, {10, 10, 300, 50}, "VORLAX", Font{24, true});
    AddLabel(form, {10, 100, 300, 50}, "VORLAX", Font{36, true});
    auto& regular = form.Add<TextBox>("Box", 10, 200, 300, 25);
    regular.SetText("ACE");
    regular.SetBackColor(kBack);
    ::testing::internal::CaptureStderr();
    Present(form);
    bold.SetCaption("again");
    platform->DoEvents();
    const std::string err = ::testing::internal::GetCapturedStderr();
    fs::remove_all(dir);
    for (const std::string file : {"LiberationSans-Bold.ttf", "LiberationSans-Regular.ttf"})
        EXPECT_EQ(err.find(file), err.rfind(file)) << "warned more than once: " << err;
    EXPECT_NE(err.find("LiberationSans-Regular.ttf"), std::string::npos) << err;
    EXPECT_EQ(CountOutside(platform->LastFrame(form), kBack, {}), 0);
}

}  // namespace
}  // namespace vorlax
