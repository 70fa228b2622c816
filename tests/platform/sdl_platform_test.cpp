// The SDL backend on SDL's dummy video driver: real SDL windows and software
// surfaces without a screen. There is no real keyboard there, so input is
// pushed into SDL's event queue, which is exactly where the window system
// would put it.
#include "platform/sdl_platform.h"

#include <SDL.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/form.h"
#include "platform/keys.h"

namespace vorlax {
namespace {

constexpr Colour kBack = RGB(1, 0, 1);
constexpr Colour kYellow = RGB(255, 255, 0);

struct Rect {
    int left, top, width, height;
};

class SdlPlatformTest : public ::testing::Test {
  protected:
    SdlPlatformTest() {
        if (const char* old = std::getenv("SDL_VIDEODRIVER")) savedDriver_ = old;
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        platform = std::make_unique<SdlPlatform>();
        SetCurrentPlatform(platform.get());
    }
    ~SdlPlatformTest() override {
        display_.reset();
        platform.reset();  // also clears the current platform
        // Child processes of later tests must not inherit the dummy driver.
        if (savedDriver_)
            setenv("SDL_VIDEODRIVER", savedDriver_->c_str(), 1);
        else
            unsetenv("SDL_VIDEODRIVER");
    }

    // The game's main window, in its size and back colour.
    Form& Display() {
        display_.emplace("DisplayForm", "VORLAX", 785, 617);
        display_->SetBackColor(kBack);
        return *display_;
    }

    std::uint32_t WindowId(const Form& form) {
        SDL_Window* w = platform->WindowOf(form);
        return w == nullptr ? 0 : SDL_GetWindowID(w);
    }

    static void Push(SDL_Event e) { ASSERT_EQ(SDL_PushEvent(&e), 1); }
    static void PushKey(SDL_Scancode scancode, std::uint32_t windowId = 0, bool repeat = false) {
        SDL_Event e{SDL_KEYDOWN};
        e.key.windowID = windowId;
        e.key.state = SDL_PRESSED;
        e.key.repeat = repeat ? 1 : 0;
        e.key.keysym = {scancode, SDL_GetKeyFromScancode(scancode), 0, 0};
        Push(e);
    }
    static void PushText(const std::string& utf8) {
        SDL_Event e{SDL_TEXTINPUT};
        std::snprintf(e.text.text, sizeof e.text.text, "%s", utf8.c_str());
        Push(e);
    }
    static void PushWindowEvent(std::uint32_t windowId, SDL_WindowEventID what) {
        SDL_Event e{SDL_WINDOWEVENT};
        e.window.windowID = windowId;
        e.window.event = what;
        Push(e);
    }

    // Shows `forms` in order, each logging its keys ("A113") and its unload
    // ("A gone") into `log`.
    static void ShowLogging(std::vector<std::string>& log, std::initializer_list<Form*> forms) {
        for (Form* f : forms) {
            const std::string name = f->Name();
            f->OnKeyDown = [&log, name](int k) { log.push_back(name + std::to_string(k)); };
            f->OnUnload = [&log, name] { log.push_back(name + " gone"); };
            f->Show();
        }
    }

    // Shows `form`, clears it to its back colour and returns what reaches the window.
    Surface Present(Form& form) {
        form.Show();
        form.Cls();
        form.Refresh();
        return platform->LastFrame(form);
    }

    // Whether Liberation Sans can be found where the platform looks: text
    // pixel tests need it (the build copies it next to the executables).
    bool HaveFonts() {
        for (const char* folder : {"", "/usr/share/fonts/truetype/liberation"}) {
            std::string dir = *folder ? folder : platform->ProgramFolder();
            if (std::filesystem::exists(dir + "/LiberationSans-Bold.ttf") &&
                std::filesystem::exists(dir + "/LiberationSans-Regular.ttf"))
                return true;
        }
        return false;
    }

    std::unique_ptr<SdlPlatform> platform;

  private:
    std::optional<std::string> savedDriver_;
    std::optional<Form> display_;
};

// Where the pixels of `frame` in `r` differ from `back`.
struct Box {
    int minX = INT_MAX, minY = INT_MAX, maxX = INT_MIN, maxY = INT_MIN, count = 0;
    void Add(int x, int y) {
        minX = std::min(minX, x);
        minY = std::min(minY, y);
        maxX = std::max(maxX, x);
        maxY = std::max(maxY, y);
        ++count;
    }
};

Box Changed(const Surface& frame, Colour back, Rect r) {
    Box box;
    for (int y = std::max(0, r.top); y < std::min(frame.Height(), r.top + r.height); ++y)
        for (int x = std::max(0, r.left); x < std::min(frame.Width(), r.left + r.width); ++x)
            if (frame.Pixel(x, y) != back) box.Add(x, y);
    return box;
}

// How many pixels of `frame` outside all of `rects` differ from `back`.
int CountOutside(const Surface& frame, Colour back, std::initializer_list<Rect> rects) {
    int n = 0;
    for (int y = 0; y < frame.Height(); ++y)
        for (int x = 0; x < frame.Width(); ++x)
            n += frame.Pixel(x, y) != back && std::none_of(rects.begin(), rects.end(), [&](Rect r) {
                     return x >= r.left && x < r.left + r.width && y >= r.top &&
                            y < r.top + r.height;
                 });
    return n;
}

// A transparent label with its caption in `font` and `colour`.
Label& AddLabel(Form& form, const std::string& name, Rect r, const std::string& caption, Font font,
                Colour colour = kYellow, Align align = Align::Centre) {
    auto& l = form.Add<Label>(name, r.left, r.top, r.width, r.height);
    l.SetCaption(caption);
    l.SetFont(font);
    l.SetForeColor(colour);
    l.SetAlignment(align);
    l.SetTransparent(true);
    return l;
}

// ---------------------------------------------------------------- windows

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
    EXPECT_EQ(SDL_GetWindowFlags(w) & SDL_WINDOW_HIDDEN, 0u);
    // The player may resize it; the picture scales, the client area stays.
    EXPECT_NE(SDL_GetWindowFlags(w) & SDL_WINDOW_RESIZABLE, 0u);
    EXPECT_EQ(platform->ActiveForm(), &main);
    {  // A second form has a window of its own and the focus; destroyed, it takes both along.
        Form help("HelpForm", "Help / Controls", 473, 466);
        help.Show();
        EXPECT_NE(platform->WindowOf(help), nullptr);
        EXPECT_NE(platform->WindowOf(help), w);
        EXPECT_EQ(platform->ActiveForm(), &help);
    }
    EXPECT_EQ(platform->OpenForms(), (std::vector<Form*>{&main}));
    EXPECT_EQ(platform->ActiveForm(), nullptr);

    main.SetClientSize(320, 240);
    EXPECT_EQ(size(), std::make_pair(320, 240));
    main.Hide();
    EXPECT_EQ(platform->WindowOf(main), w);  // hidden, not destroyed
    EXPECT_NE(SDL_GetWindowFlags(w) & SDL_WINDOW_HIDDEN, 0u);
    EXPECT_EQ(platform->ActiveForm(), nullptr);
    main.SetClientSize(300, 200);  // while hidden
    main.Show();
    EXPECT_EQ(SDL_GetWindowFlags(w) & SDL_WINDOW_HIDDEN, 0u);
    EXPECT_EQ(size(), std::make_pair(300, 200));

    main.Unload();
    EXPECT_EQ(platform->WindowOf(main), nullptr);
    main.Show();  // loads again with a fresh window
    EXPECT_NE(platform->WindowOf(main), nullptr);
}

TEST_F(SdlPlatformTest, ProgramFolderClockAndMessagesWithoutAScreen) {
    std::string folder = platform->ProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(folder.back(), '/');
    EXPECT_EQ(std::filesystem::canonical(folder),
              std::filesystem::canonical("/proc/self/exe").parent_path());
    EXPECT_EQ(ProgramFile("Hiscore.txt"), folder + "/Hiscore.txt");
    // Counted from SDL_Init a moment ago, not from system boot.
    EXPECT_LT(platform->GetTickCount(), 60'000u);

    ::testing::internal::CaptureStderr();
    platform->MessageBox("Bitmap Not Found", "VORLAX");
    std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("VORLAX: Bitmap Not Found"), std::string::npos) << err;
}

// ---------------------------------------------------------------- events

TEST_F(SdlPlatformTest, KeysGoToTheFormWithTheFocusWhateverWindowTheyName) {
    Form a("A", "A", 100, 100), b("B", "B", 100, 100);
    std::vector<std::string> seen;
    ShowLogging(seen, {&a, &b});
    ASSERT_EQ(platform->ActiveForm(), &b);
    PushKey(SDL_SCANCODE_F2, WindowId(a));
    PushKey(SDL_SCANCODE_LEFT, WindowId(b), /*repeat=*/true);
    PushKey(SDL_SCANCODE_F24);  // a key the game has no code for
    platform->DoEvents();
    a.SetFocus();
    PushKey(SDL_SCANCODE_KP_ENTER);
    PushKey(SDL_SCANCODE_RCTRL);
    platform->DoEvents(5);
    EXPECT_EQ(seen, (std::vector<std::string>{"B113", "B37", "A13", "A17"}));

    // The window system moves the focus too; while nobody has it, keys are dropped.
    seen.clear();
    PushWindowEvent(WindowId(b), SDL_WINDOWEVENT_FOCUS_GAINED);
    PushKey(SDL_SCANCODE_SPACE);
    PushWindowEvent(WindowId(b), SDL_WINDOWEVENT_FOCUS_LOST);
    PushKey(SDL_SCANCODE_X);
    platform->DoEvents();
    EXPECT_EQ(seen, (std::vector<std::string>{"B32"}));
    EXPECT_EQ(platform->ActiveForm(), nullptr);
    // A late focus event for a hidden form does not make it active.
    b.Hide();
    PushWindowEvent(WindowId(b), SDL_WINDOWEVENT_FOCUS_GAINED);
    platform->DoEvents();
    EXPECT_EQ(platform->ActiveForm(), nullptr);
}

TEST_F(SdlPlatformTest, TextGoesToAFocusedTextBoxAndTextInputRunsOnlyThen) {
    EXPECT_FALSE(SDL_IsTextInputActive());  // SDL's default is turned off at start-up
    Form form("ScoreForm", "High Score", 200, 100), other("B", "B", 200, 100);
    auto& name = form.Add<TextBox>("NameText", 10, 10, 120, 24);
    auto& holder = form.Add<PictureBox>("Picture1", 0, 80, 10, 10);
    std::vector<int> keys;
    form.OnKeyDown = [&](int k) { keys.push_back(k); };
    form.Show();
    EXPECT_FALSE(SDL_IsTextInputActive());
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
    PushText("q");
    platform->DoEvents();
    EXPECT_EQ(name.Text(), "aZ");
    name.SetFocus();
    name.SetEnabled(false);
    EXPECT_FALSE(SDL_IsTextInputActive());
    name.SetEnabled(true);
    name.SetFocus();
    EXPECT_TRUE(SDL_IsTextInputActive());

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
    EXPECT_TRUE(SDL_IsTextInputActive());
    form.Unload();
    EXPECT_FALSE(SDL_IsTextInputActive());
}

TEST_F(SdlPlatformTest, CloseBoxAndQuitUnloadFormsAndTheLoopEndsWithTheLast) {
    Form a("A", "A", 100, 100), b("B", "B", 100, 100);
    std::vector<std::string> log;
    ShowLogging(log, {&a, &b});
    const std::uint32_t bId = WindowId(b);
    PushWindowEvent(bId, SDL_WINDOWEVENT_CLOSE);
    PushWindowEvent(bId, SDL_WINDOWEVENT_CLOSE);  // already gone: ignored
    platform->DoEvents();
    EXPECT_EQ(log, (std::vector<std::string>{"B gone"}));
    EXPECT_EQ(platform->WindowOf(b), nullptr);
    EXPECT_EQ(platform->OpenForms(), (std::vector<Form*>{&a}));

    // Quitting unloads every form, the first opened first (the game's main
    // window, whose unload ends the program); then the loop returns.
    b.Show();
    PushKey(SDL_SCANCODE_A);
    SDL_Event quit{SDL_QUIT};
    Push(quit);
    platform->RunEventLoop();
    EXPECT_EQ(log, (std::vector<std::string>{"B gone", "B65", "A gone", "B gone"}));
    EXPECT_TRUE(platform->OpenForms().empty());
}

TEST_F(SdlPlatformTest, EndClosesEveryWindowWithoutUnloadHandlers) {
    Form a("A", "A", 100, 100), b("B", "B", 100, 100);
    auto& box = b.Add<TextBox>("Box", 0, 0, 50, 20);
    std::vector<std::string> log;
    ShowLogging(log, {&a, &b});
    b.OnKeyDown = [&](int k) {
        if (k == VK_ESCAPE) CurrentPlatform().End(7);
    };
    b.Hide();
    b.Show();
    box.SetFocus();
    ASSERT_TRUE(SDL_IsTextInputActive());

    PushKey(SDL_SCANCODE_ESCAPE);
    PushKey(SDL_SCANCODE_ESCAPE);  // left in the queue by the end
    try {
        platform->DoEvents();
        FAIL() << "End did not throw";
    } catch (const ProgramEnd& end) {
        EXPECT_EQ(end.status, 7);
    }
    EXPECT_TRUE(log.empty());
    EXPECT_TRUE(platform->OpenForms().empty());
    EXPECT_EQ(platform->ActiveForm(), nullptr);
    EXPECT_EQ(platform->WindowOf(a), nullptr);
    EXPECT_EQ(platform->WindowOf(b), nullptr);
    EXPECT_FALSE(SDL_IsTextInputActive());
}

TEST_F(SdlPlatformTest, AKeyHandlerMayRunANestedLoopOfYieldsAndEndUnwindsBoth) {
    Form form("DisplayForm", "VORLAX", 100, 100);
    std::vector<std::string> log;
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
            CurrentPlatform().End(0);
        }
    };
    form.Show();
    PushKey(SDL_SCANCODE_F2);
    PushKey(SDL_SCANCODE_A);  // already queued behind F2: the inner loop takes it
    platform->DoEvents();
    EXPECT_EQ(log, (std::vector<std::string>{"key 113", "key 65", "key 27", "game over"}));
    // The outer yield carries on normally afterwards.
    PushKey(SDL_SCANCODE_P);
    platform->DoEvents();
    EXPECT_EQ(log.back(), "key 80");

    // An End during the next game unwinds the game and the outer loop alike.
    PushKey(SDL_SCANCODE_F2);
    PushKey(SDL_SCANCODE_Q);
    EXPECT_THROW(platform->RunEventLoop(), ProgramEnd);
    EXPECT_EQ(log.back(), "key 81");
    EXPECT_TRUE(platform->OpenForms().empty());
}

// ---------------------------------------------------------------- pictures

TEST_F(SdlPlatformTest, TheYieldPresentsWhatChangedInExactColours) {
    Form& form = Display();
    auto& opaque = form.Add<Label>("Opaque", 10, 20, 30, 15);
    opaque.SetBackColor(RGB(0, 0, 200));
    auto& hidden = form.Add<Label>("Hidden", 100, 20, 30, 15);
    hidden.SetBackColor(RGB(200, 0, 0));
    hidden.SetCaption("hidden");
    hidden.SetVisible(false);
    Surface frame = Present(form);
    ASSERT_EQ(frame.Width(), 785);
    ASSERT_EQ(frame.Height(), 617);
    // An opaque label fills exactly its rectangle, a hidden one nothing.
    EXPECT_EQ(frame.Pixel(10, 20), RGB(0, 0, 200));
    EXPECT_EQ(frame.Pixel(39, 34), RGB(0, 0, 200));
    EXPECT_EQ(CountOutside(frame, kBack, {{10, 20, 30, 15}}), 0);

    form.DrawLine(0, 50, 50, 50, RGB(10, 20, 30));
    EXPECT_EQ(platform->LastFrame(form).Pixel(10, 50), kBack);  // not shown before the yield
    platform->DoEvents();
    frame = platform->LastFrame(form);
    EXPECT_EQ(frame.Pixel(10, 50), RGB(10, 20, 30));
    EXPECT_EQ(frame.Pixel(10, 51), kBack);
    // A change the form was not told of waits for the next present; an
    // exposed window is shown again although nothing changed.
    form.Image().SetPixel(20, 60, RGB(40, 50, 60));
    platform->DoEvents();
    EXPECT_EQ(platform->LastFrame(form).Pixel(20, 60), kBack);
    PushWindowEvent(WindowId(form), SDL_WINDOWEVENT_EXPOSED);
    platform->DoEvents();
    EXPECT_EQ(platform->LastFrame(form).Pixel(20, 60), RGB(40, 50, 60));

    // Without the label on top, the window shows the form's image to the last bit.
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            form.Image().SetPixel(300 + x, 300 + y, RGB(x * 4, y * 4, 200));
    opaque.SetVisible(false);
    form.Refresh();
    frame = platform->LastFrame(form);
    EXPECT_EQ(frame.Pixel(301, 302), RGB(4, 8, 200));
    EXPECT_TRUE(frame == form.Image());
}

TEST_F(SdlPlatformTest, LabelsDrawTheirTextAlignedWrappedAndInsideTheirRectanglesOnly) {
    if (!HaveFonts()) GTEST_SKIP() << "Liberation Sans not installed";
    Form& form = Display();
    const Rect title{88, 48, 417, 105}, rows{100, 160, 400, 120};
    const Rect wrapped{88, 300, 401, 121}, oneLine{88, 450, 401, 121};
    AddLabel(form, "Label1", title, "VORLAX", Font{72, true});
    const Align aligns[] = {Align::Left, Align::Centre, Align::Right};
    for (int i = 0; i < 3; ++i)
        AddLabel(form, "L" + std::to_string(i), {100, 160 + 40 * i, 400, 40}, "Press F2",
                 Font{24, false}, kYellow, aligns[i]);
    const std::string tagline =
        "In Space No One Can Hear You Scream!  Or Hear Anything For That Matter.";
    AddLabel(form, "Label6", wrapped, tagline, Font{24, true}, RGB(128, 255, 128))
        .SetWordWrap(true);
    AddLabel(form, "Label7", oneLine, tagline, Font{24, true}, RGB(128, 255, 128));
    const Surface frame = Present(form);
    EXPECT_EQ(CountOutside(frame, kBack, {title, rows, wrapped, oneLine}), 0);

    // The title: 96 px yellow letters, centred, the image showing around them.
    EXPECT_EQ(frame.Pixel(88, 48), kBack);
    const Box text = Changed(frame, kBack, title);
    ASSERT_GT(text.count, 0);
    EXPECT_GT(text.maxY - text.minY, 50);
    EXPECT_LE(std::abs((text.minX - 88) - (88 + 416 - text.maxX)), 4);
    int yellow = 0;
    for (int y = 48; y < 153; ++y)
        for (int x = 88; x < 505; ++x) {
            yellow += frame.Pixel(x, y) == kYellow;
            // Anti-aliased edges blend yellow into the background: never any blue.
            ASSERT_LE(BlueOf(frame.Pixel(x, y)), 1);
        }
    EXPECT_GT(yellow, 2000);

    // The same text left, centred and right: the same width wherever it sits.
    const Box left = Changed(frame, kBack, {100, 160, 400, 40});
    const Box centre = Changed(frame, kBack, {100, 200, 400, 40});
    const Box right = Changed(frame, kBack, {100, 240, 400, 40});
    ASSERT_TRUE(left.count && centre.count && right.count);
    EXPECT_LE(left.minX - 100, 4);
    EXPECT_LE(499 - right.maxX, 4);
    EXPECT_LE(std::abs((centre.minX - 100) - (499 - centre.maxX)), 3);
    EXPECT_EQ(left.maxX - left.minX, right.maxX - right.minX);
    EXPECT_LT(left.minY - 160, 12);  // lines start at the label's top

    const Box w = Changed(frame, kBack, wrapped), o = Changed(frame, kBack, oneLine);
    ASSERT_TRUE(w.count && o.count);
    EXPECT_GT(w.maxY - w.minY, 70);  // at least three lines of 32-pixel text
    EXPECT_LT(o.maxY - o.minY, 40);  // one line, overhanging both sides...
    EXPECT_LE(o.minX, 88 + 8);       // ...and cut at the label's edges
    EXPECT_GE(o.maxX, 88 + 400 - 8);
}

TEST_F(SdlPlatformTest, AFocusedTextBoxShowsAOnePixelCaretAfterItsText) {
    if (!HaveFonts()) GTEST_SKIP() << "Liberation Sans not installed";
    Form& form = Display();
    auto& box = form.Add<TextBox>("NameText", 50, 50, 200, 25);
    box.SetText("ACE");
    box.SetFont(Font{15.75, true});
    box.SetForeColor(kYellow);
    box.SetBackColor(0);
    box.SetAlignment(Align::Centre);
    auto& pic = form.Add<PictureBox>("Picture1", 0, 600, 5, 5);
    pic.SetBackColor(kBack);
    pic.Cls();
    form.Show();
    form.Cls();
    pic.SetFocus();
    form.Refresh();
    const Surface without = platform->LastFrame(form);
    box.SetFocus();
    platform->DoEvents();
    const Surface with = platform->LastFrame(form);

    EXPECT_EQ(without.Pixel(249, 74), 0);  // filled with its back colour
    EXPECT_EQ(CountOutside(without, kBack, {{50, 50, 200, 25}}), 0);
    const Box text = Changed(without, 0, {50, 50, 200, 25});
    EXPECT_GE(text.minY, 51);  // one pixel below the top
    // The only difference: one column of yellow just after the text.
    Box diff;
    for (int y = 0; y < with.Height(); ++y)
        for (int x = 0; x < with.Width(); ++x)
            if (with.Pixel(x, y) != without.Pixel(x, y)) {
                diff.Add(x, y);
                EXPECT_EQ(with.Pixel(x, y), kYellow);
            }
    ASSERT_GT(diff.count, 10);
    EXPECT_EQ(diff.minX, diff.maxX);
    EXPECT_GE(diff.minX, text.maxX);
    EXPECT_LE(diff.minX, text.maxX + 3);
    EXPECT_EQ(diff.minY, 51);
    EXPECT_EQ(diff.count, diff.maxY - diff.minY + 1);
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

TEST_F(SdlPlatformTest, TextLongerThanItsBoxScrollsToKeepTheCaretInView) {
    if (!HaveFonts()) GTEST_SKIP() << "Liberation Sans not installed";
    Form& form = Display();
    const Rect r{50, 50, 80, 25};
    auto& box = form.Add<TextBox>("NameText", r.left, r.top, r.width, r.height);
    box.SetFont(Font{15.75, true});
    box.SetForeColor(kYellow);
    box.SetBackColor(0);
    box.SetAlignment(Align::Centre);
    box.SetText("");
    form.Show();
    form.Cls();
    box.SetFocus();
    auto typed = [&](const std::string& text) {
        PushText(text);
        platform->DoEvents();
        return platform->LastFrame(form);
    };
    auto keys = [&](std::initializer_list<SDL_Scancode> codes) {
        for (SDL_Scancode c : codes) PushKey(c);
        platform->DoEvents();
        return platform->LastFrame(form);
    };

    // Short text stands centred, the caret just after it.
    Surface frame = typed("AB");
    const Box ab = Changed(frame, 0, r);
    EXPECT_LE(std::abs((ab.minX - r.left) - (r.left + r.width - 1 - ab.maxX)), 3);
    EXPECT_EQ(CaretColumn(frame, r, kYellow), ab.maxX);

    // Typed past the right edge: the view follows the caret, which stands
    // in the last column inside the box's one-pixel margin.
    frame = typed("CDEFGHIJKLMNOP");
    EXPECT_EQ(CaretColumn(frame, r, kYellow), r.left + r.width - 2);
    EXPECT_EQ(CountOutside(frame, kBack, {r}), 0);
    EXPECT_EQ(frame.Pixel(r.left, 60), 0u) << "the margin stays clear";
    EXPECT_EQ(frame.Pixel(r.left + r.width - 1, 60), 0u);
    const Surface atEnd = frame;

    // Home shows the start, the caret in the first column inside the margin;
    // the text now runs from there and is cut at the right.
    frame = keys({SDL_SCANCODE_HOME});
    EXPECT_EQ(CaretColumn(frame, r, kYellow), r.left + 1);
    EXPECT_GT(Changed(frame, 0, {r.left + r.width - 12, r.top, 10, r.height}).count, 0);
    // Moving right inside the view scrolls nothing; End brings the end back.
    const Surface atHome = frame;
    frame = keys({SDL_SCANCODE_RIGHT, SDL_SCANCODE_RIGHT});
    const int caret = CaretColumn(frame, r, kYellow);
    EXPECT_GT(caret, r.left + 10);
    EXPECT_LT(caret, r.left + 40);
    for (int y = r.top; y < r.top + r.height; ++y) {
        for (int x = r.left; x < r.left + r.width; ++x) {
            if (x == caret || x == r.left + 1) continue;
            ASSERT_EQ(frame.Pixel(x, y), atHome.Pixel(x, y)) << x << ", " << y;
        }
    }
    frame = keys({SDL_SCANCODE_END});
    EXPECT_TRUE(frame == atEnd);

    // Deleting back to a short text centres it again.
    frame = keys({SDL_SCANCODE_HOME, SDL_SCANCODE_DELETE, SDL_SCANCODE_DELETE, SDL_SCANCODE_END});
    for (int i = 0; i < 14; ++i) PushKey(SDL_SCANCODE_BACKSPACE);
    platform->DoEvents();
    frame = platform->LastFrame(form);
    EXPECT_EQ(box.Text(), "");
    EXPECT_EQ(CaretColumn(frame, r, kYellow), r.left + 1 + 78 / 2);
}

TEST_F(SdlPlatformTest, APictureBoxShowsItsOwnImageWithinItsSize) {
    Form& form = Display();
    auto& pic = form.Add<PictureBox>("CollisionPict", 640, 40, 129, 89);
    for (int y = 0; y < 89; ++y)
        for (int x = 0; x < 129; ++x) pic.Image().SetPixel(x, y, RGB(x, y, 77));
    auto& offside = form.Add<PictureBox>("Off", 760, 600, 50, 50);  // partly off the window
    offside.Image().Fill(RGB(9, 9, 9));
    Surface frame = Present(form);
    for (int y = 0; y < 89; ++y)
        for (int x = 0; x < 129; ++x) ASSERT_EQ(frame.Pixel(640 + x, 40 + y), RGB(x, y, 77));
    EXPECT_EQ(frame.Pixel(639, 40), kBack);
    EXPECT_EQ(frame.Pixel(769, 40), kBack);
    EXPECT_EQ(frame.Pixel(784, 616), RGB(9, 9, 9));

    // Shrunk: only the control's part of the image shows.
    pic.SetSize(20, 10);
    platform->DoEvents();
    frame = platform->LastFrame(form);
    EXPECT_EQ(frame.Pixel(659, 49), RGB(19, 9, 77));
    EXPECT_EQ(frame.Pixel(660, 49), kBack);
    EXPECT_EQ(frame.Pixel(659, 50), kBack);
    // Moved out of the client area, as during play: nothing of it shows.
    pic.SetLeft(785 + 20);
    platform->DoEvents();
    EXPECT_EQ(platform->LastFrame(form).Pixel(645, 45), kBack);
}

TEST_F(SdlPlatformTest, ControlsOfAnySizePlaceAndTextPresentWithoutTrouble) {
    // Run under the address sanitizer, this shows that no drawing reaches
    // outside the pixels it was given.
    Form& form = Display();
    const std::string captions[] = {"",           "Averyveryverylongwordthatfitsnowhere and more",
                                    "two\nlines", "bad \xFF\xFE utf8",
                                    "   ",        "In Space No One Can Hear You Scream!"};
    int i = 0;
    for (Align a : {Align::Left, Align::Centre, Align::Right})
        for (const std::string& caption : captions) {
            // Across every edge of the window, some with no height or width at all.
            const Rect r{(i * 37) % 800 - 20, (i * 53) % 640 - 10, (i * 13) % 200, (i * 7) % 60};
            auto& l = AddLabel(form, "L" + std::to_string(i), r, caption,
                               Font{i % 2 ? 24.0 : 8.25, i % 3 == 0}, kYellow, a);
            l.SetWordWrap((i / 2) % 2 == 0);
            l.SetTransparent((i / 4) % 2 == 0);
            auto& t =
                form.Add<TextBox>("T" + std::to_string(i), r.left + 30, r.top, r.width / 2, 25);
            t.SetText(caption);
            t.SetAlignment(a);
            ++i;
        }
    form.Add<PictureBox>("Empty", 10, 10, 0, 0);
    AddLabel(form, "Huge", {0, 0, 785, 617}, "W", Font{400, true});
    AddLabel(form, "Tiny", {0, 0, 50, 10}, "x", Font{0.1, false});
    Present(form);
    // Change things and present again through the caches, then smaller.
    for (const auto& c : form.Controls()) {
        if (c->Kind() == ControlKind::Label)
            static_cast<Label&>(*c).SetCaption(static_cast<Label&>(*c).Caption() + " more");
        c->SetForeColor(RGB(200, 100, 50));
    }
    platform->DoEvents();
    form.SetClientSize(400, 300);
    platform->DoEvents();
    EXPECT_EQ(platform->LastFrame(form).Width(), 400);
    EXPECT_EQ(platform->LastFrame(form).Height(), 300);
}

TEST_F(SdlPlatformTest, MissingOrBrokenFontsWarnOnceAndDrawNoText) {
    namespace fs = std::filesystem;
    fs::path dir = fs::temp_directory_path() / ("vorlax-fonts-" + std::to_string(getpid()));
    fs::create_directories(dir);
    std::ofstream(dir / "LiberationSans-Bold.ttf") << "this is not a font";
    platform->SetFontFolders({dir.string(), (dir / "nowhere").string()});

    Form& form = Display();
    auto& bold = AddLabel(form, "Bold", {10, 10, 300, 50}, "VORLAX", Font{24, true});
    AddLabel(form, "Bigger", {10, 100, 300, 50}, "VORLAX", Font{36, true});
    auto& regular = form.Add<TextBox>("Box", 10, 200, 300, 25);
    regular.SetText("ACE");
    regular.SetFont(Font{12, false});
    regular.SetBackColor(kBack);
    ::testing::internal::CaptureStderr();
    Present(form);
    bold.SetCaption("again");
    platform->DoEvents();
    std::string err = ::testing::internal::GetCapturedStderr();
    fs::remove_all(dir);

    auto count = [&](const std::string& what) {
        int n = 0;
        for (std::size_t p = err.find(what); p != std::string::npos; p = err.find(what, p + 1)) ++n;
        return n;
    };
    EXPECT_EQ(count("LiberationSans-Bold.ttf"), 1) << err;
    EXPECT_EQ(count("LiberationSans-Regular.ttf"), 1) << err;
    EXPECT_EQ(CountOutside(platform->LastFrame(form), kBack, {}), 0);
}

}  // namespace
}  // namespace vorlax
