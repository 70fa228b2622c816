// The SDL backend on SDL's dummy video driver: real SDL windows and software
// surfaces without a screen. There is no real keyboard there, so input is
// pushed into SDL's event queue, which is exactly where the window system
// would put it.
#include "core/platform/sdl_platform.h"

#include <SDL.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "core/platform/form.h"
#include "core/platform/keys.h"

namespace vorlax {
namespace {

constexpr Colour kBack = RGB(1, 0, 1);
constexpr Colour kYellow = RGB(255, 255, 0);

class SdlPlatformTest : public ::testing::Test {
  protected:
    SdlPlatformTest() {
        if (const char* old = std::getenv("SDL_VIDEODRIVER")) savedDriver_ = old;
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        platform = std::make_unique<SdlPlatform>();
        SetCurrentPlatform(platform.get());
    }
    ~SdlPlatformTest() override {
        platform.reset();  // also clears the current platform
        // Child processes of later tests must not inherit the dummy driver.
        if (savedDriver_)
            setenv("SDL_VIDEODRIVER", savedDriver_->c_str(), 1);
        else
            unsetenv("SDL_VIDEODRIVER");
    }

    std::uint32_t WindowId(const Form& form) {
        SDL_Window* w = platform->WindowOf(form);
        return w == nullptr ? 0 : SDL_GetWindowID(w);
    }

    static void PushKey(SDL_Scancode scancode, std::uint32_t windowId = 0, bool repeat = false) {
        SDL_Event e{};
        e.type = SDL_KEYDOWN;
        e.key.windowID = windowId;
        e.key.state = SDL_PRESSED;
        e.key.repeat = repeat ? 1 : 0;
        e.key.keysym.scancode = scancode;
        e.key.keysym.sym = SDL_GetKeyFromScancode(scancode);
        ASSERT_EQ(SDL_PushEvent(&e), 1);
    }

    static void PushText(const std::string& utf8) {
        SDL_Event e{};
        e.type = SDL_TEXTINPUT;
        std::snprintf(e.text.text, sizeof e.text.text, "%s", utf8.c_str());
        ASSERT_EQ(SDL_PushEvent(&e), 1);
    }

    static void PushWindowEvent(std::uint32_t windowId, SDL_WindowEventID what) {
        SDL_Event e{};
        e.type = SDL_WINDOWEVENT;
        e.window.windowID = windowId;
        e.window.event = what;
        ASSERT_EQ(SDL_PushEvent(&e), 1);
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
};

// Pixels of `frame` in the rectangle (or outside it) that differ from `back`.
struct Box {
    int minX = INT_MAX, minY = INT_MAX, maxX = INT_MIN, maxY = INT_MIN;
    int count = 0;
    void Add(int x, int y) {
        minX = std::min(minX, x);
        minY = std::min(minY, y);
        maxX = std::max(maxX, x);
        maxY = std::max(maxY, y);
        ++count;
    }
};

Box Changed(const Surface& frame, Colour back, int left, int top, int width, int height) {
    Box box;
    for (int y = std::max(0, top); y < std::min(frame.Height(), top + height); ++y)
        for (int x = std::max(0, left); x < std::min(frame.Width(), left + width); ++x)
            if (frame.Pixel(x, y) != back) box.Add(x, y);
    return box;
}

int CountOutside(const Surface& frame, Colour back, int left, int top, int width, int height) {
    int n = 0;
    for (int y = 0; y < frame.Height(); ++y)
        for (int x = 0; x < frame.Width(); ++x) {
            bool inside = x >= left && x < left + width && y >= top && y < top + height;
            if (!inside && frame.Pixel(x, y) != back) ++n;
        }
    return n;
}

int CountColour(const Surface& frame, Colour c) {
    int n = 0;
    for (int y = 0; y < frame.Height(); ++y)
        for (int x = 0; x < frame.Width(); ++x) n += frame.Pixel(x, y) == c;
    return n;
}

Form& MakeDisplay(std::optional<Form>& slot) {
    slot.emplace("DisplayForm", "VORLAX", 785, 617);
    slot->SetBackColor(kBack);
    return *slot;
}

// ---------------------------------------------------------------- windows

TEST_F(SdlPlatformTest, AWindowPerFormWithItsCaptionAndExactClientSize) {
    Form display("DisplayForm", "VORLAX", 785, 617);
    EXPECT_EQ(platform->WindowOf(display), nullptr);
    display.Show();
    SDL_Window* w = platform->WindowOf(display);
    ASSERT_NE(w, nullptr);
    EXPECT_STREQ(SDL_GetWindowTitle(w), "VORLAX");
    int width = 0, height = 0;
    SDL_GetWindowSize(w, &width, &height);
    EXPECT_EQ(width, 785);
    EXPECT_EQ(height, 617);
    EXPECT_EQ(SDL_GetWindowFlags(w) & SDL_WINDOW_RESIZABLE, 0u);
    EXPECT_EQ(SDL_GetWindowFlags(w) & SDL_WINDOW_HIDDEN, 0u);
    EXPECT_EQ(platform->ActiveForm(), &display);

    Form help("HelpForm", "Help / Controls", 473, 466);
    help.Show();
    ASSERT_NE(platform->WindowOf(help), nullptr);
    EXPECT_NE(platform->WindowOf(help), w);
    EXPECT_STREQ(SDL_GetWindowTitle(platform->WindowOf(help)), "Help / Controls");
    EXPECT_EQ(platform->ActiveForm(), &help);
}

TEST_F(SdlPlatformTest, ResizeHideShowAndUnloadFollowTheForm) {
    Form form("F", "F", 200, 100);
    form.Show();
    SDL_Window* w = platform->WindowOf(form);
    ASSERT_NE(w, nullptr);

    form.SetClientSize(320, 240);
    int width = 0, height = 0;
    SDL_GetWindowSize(w, &width, &height);
    EXPECT_EQ(width, 320);
    EXPECT_EQ(height, 240);

    form.Hide();
    EXPECT_EQ(platform->WindowOf(form), w);  // hidden, not destroyed
    EXPECT_NE(SDL_GetWindowFlags(w) & SDL_WINDOW_HIDDEN, 0u);
    EXPECT_EQ(platform->ActiveForm(), nullptr);

    form.SetClientSize(300, 200);  // while hidden
    form.Show();
    EXPECT_EQ(platform->WindowOf(form), w);
    EXPECT_EQ(SDL_GetWindowFlags(w) & SDL_WINDOW_HIDDEN, 0u);
    SDL_GetWindowSize(w, &width, &height);
    EXPECT_EQ(width, 300);
    EXPECT_EQ(height, 200);

    form.Unload();
    EXPECT_EQ(platform->WindowOf(form), nullptr);
    EXPECT_TRUE(platform->OpenForms().empty());

    form.Show();  // loads again with a fresh window
    EXPECT_NE(platform->WindowOf(form), nullptr);
}

TEST_F(SdlPlatformTest, FormsDestroyedWhileOpenTakeTheirWindowsAlong) {
    {
        Form form("F", "F", 50, 50);
        form.Show();
        EXPECT_EQ(platform->OpenForms().size(), 1u);
    }
    EXPECT_TRUE(platform->OpenForms().empty());
    EXPECT_EQ(platform->ActiveForm(), nullptr);
}

TEST_F(SdlPlatformTest, ProgramFolderIsTheExecutablesFolderWithoutSlash) {
    std::string folder = platform->ProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(folder.back(), '/');
    EXPECT_EQ(std::filesystem::canonical(folder),
              std::filesystem::canonical("/proc/self/exe").parent_path());
    EXPECT_EQ(ProgramFile("Hiscore.txt"), folder + "/Hiscore.txt");
}

TEST_F(SdlPlatformTest, TicksCountFromStartUpAndNoKeyIsHeld) {
    // Counted from SDL_Init a moment ago, not from system boot.
    std::uint32_t t0 = platform->GetTickCount();
    EXPECT_LT(t0, 60'000u);
    platform->Sleep(2);
    EXPECT_GE(platform->GetTickCount(), t0 + 2);
    for (int vk = 0; vk < 256; ++vk) EXPECT_EQ(platform->GetKeyState(vk), 0) << vk;
}

TEST_F(SdlPlatformTest, MessageBoxWithoutAScreenPrintsAndReturns) {
    ::testing::internal::CaptureStderr();
    platform->MessageBox("Bitmap Not Found", "VORLAX");
    std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("VORLAX: Bitmap Not Found"), std::string::npos) << err;
}

// ---------------------------------------------------------------- events

TEST_F(SdlPlatformTest, KeyDownsReachTheActiveFormOnly) {
    Form a("A", "A", 100, 100), b("B", "B", 100, 100);
    std::vector<std::string> seen;
    a.OnKeyDown = [&](int k) { seen.push_back("A" + std::to_string(k)); };
    b.OnKeyDown = [&](int k) { seen.push_back("B" + std::to_string(k)); };
    a.Show();
    b.Show();
    ASSERT_EQ(platform->ActiveForm(), &b);

    // Whatever window the event names: keys go to the form with the focus.
    PushKey(SDL_SCANCODE_F2, WindowId(a));
    PushKey(SDL_SCANCODE_LEFT, WindowId(b), /*repeat=*/true);
    PushKey(SDL_SCANCODE_F24);  // a key the game has no code for
    platform->DoEvents();
    EXPECT_EQ(seen, (std::vector<std::string>{"B113", "B37"}));

    seen.clear();
    a.SetFocus();
    PushKey(SDL_SCANCODE_KP_ENTER);
    PushKey(SDL_SCANCODE_RCTRL);
    platform->DoEvents(5);
    EXPECT_EQ(seen, (std::vector<std::string>{"A13", "A17"}));
}

TEST_F(SdlPlatformTest, WindowFocusEventsMoveTheActiveForm) {
    Form a("A", "A", 100, 100), b("B", "B", 100, 100);
    std::vector<std::string> seen;
    a.OnKeyDown = [&](int k) { seen.push_back("A" + std::to_string(k)); };
    b.OnKeyDown = [&](int k) { seen.push_back("B" + std::to_string(k)); };
    a.Show();
    b.Show();

    PushWindowEvent(WindowId(a), SDL_WINDOWEVENT_FOCUS_GAINED);
    PushKey(SDL_SCANCODE_SPACE);
    PushWindowEvent(WindowId(a), SDL_WINDOWEVENT_FOCUS_LOST);
    PushKey(SDL_SCANCODE_X);  // nobody has the focus: dropped
    platform->DoEvents();
    EXPECT_EQ(seen, (std::vector<std::string>{"A32"}));
    EXPECT_EQ(platform->ActiveForm(), nullptr);

    // A late focus event for a hidden form does not make it active.
    b.Hide();
    PushWindowEvent(WindowId(b), SDL_WINDOWEVENT_FOCUS_GAINED);
    platform->DoEvents();
    EXPECT_EQ(platform->ActiveForm(), nullptr);
}

TEST_F(SdlPlatformTest, TypedTextReachesTheFocusedTextBox) {
    Form form("ScoreForm", "High Score", 200, 100);
    auto& name = form.Add<TextBox>("NameText", 10, 10, 120, 24);
    auto& holder = form.Add<PictureBox>("Picture1", 0, 80, 10, 10);
    std::vector<int> keys;
    form.OnKeyDown = [&](int k) { keys.push_back(k); };
    form.Show();
    name.SetFocus();

    PushKey(SDL_SCANCODE_A);
    PushText("a");
    PushText("\xC3\xA9");  // é
    PushKey(SDL_SCANCODE_BACKSPACE);
    PushText("Z");
    platform->DoEvents();
    EXPECT_EQ(name.Text(), "aZ");
    EXPECT_EQ(keys, (std::vector<int>{'A', VK_BACK}));

    holder.SetFocus();
    PushText("q");
    platform->DoEvents();
    EXPECT_EQ(name.Text(), "aZ");
}

TEST_F(SdlPlatformTest, TextInputRunsOnlyWhileAUsableTextBoxHasTheFocus) {
    EXPECT_FALSE(SDL_IsTextInputActive());  // SDL's default is turned off at start-up
    Form a("A", "A", 200, 100), b("B", "B", 200, 100);
    auto& box = a.Add<TextBox>("Box", 0, 0, 100, 20);
    auto& pic = a.Add<PictureBox>("Pic", 0, 40, 10, 10);
    a.Show();
    EXPECT_FALSE(SDL_IsTextInputActive());
    box.SetFocus();
    EXPECT_TRUE(SDL_IsTextInputActive());
    pic.SetFocus();
    EXPECT_FALSE(SDL_IsTextInputActive());
    box.SetFocus();
    box.SetEnabled(false);
    EXPECT_FALSE(SDL_IsTextInputActive());
    box.SetEnabled(true);
    box.SetFocus();
    EXPECT_TRUE(SDL_IsTextInputActive());

    b.Show();  // another window takes the focus
    EXPECT_FALSE(SDL_IsTextInputActive());
    a.SetFocus();
    EXPECT_TRUE(SDL_IsTextInputActive());

    PushWindowEvent(WindowId(a), SDL_WINDOWEVENT_FOCUS_LOST);
    platform->DoEvents();
    EXPECT_FALSE(SDL_IsTextInputActive());
    PushWindowEvent(WindowId(a), SDL_WINDOWEVENT_FOCUS_GAINED);
    platform->DoEvents();
    EXPECT_TRUE(SDL_IsTextInputActive());

    a.Hide();
    EXPECT_FALSE(SDL_IsTextInputActive());
    a.Show();
    EXPECT_TRUE(SDL_IsTextInputActive());
    a.Unload();
    EXPECT_FALSE(SDL_IsTextInputActive());
}

TEST_F(SdlPlatformTest, TheCloseBoxUnloadsThatFormOnly) {
    Form a("A", "A", 100, 100), b("B", "B", 100, 100);
    std::vector<std::string> unloads;
    a.OnUnload = [&] { unloads.push_back("A"); };
    b.OnUnload = [&] { unloads.push_back("B"); };
    a.Show();
    b.Show();
    const std::uint32_t bId = WindowId(b);

    PushWindowEvent(bId, SDL_WINDOWEVENT_CLOSE);
    PushWindowEvent(bId, SDL_WINDOWEVENT_CLOSE);  // already gone: ignored
    platform->DoEvents();
    EXPECT_EQ(unloads, (std::vector<std::string>{"B"}));
    EXPECT_FALSE(b.Loaded());
    EXPECT_EQ(platform->WindowOf(b), nullptr);
    EXPECT_NE(platform->WindowOf(a), nullptr);
    EXPECT_EQ(platform->OpenForms(), (std::vector<Form*>{&a}));
}

TEST_F(SdlPlatformTest, AQuitRequestUnloadsEveryFormNewestFirst) {
    Form a("A", "A", 100, 100), b("B", "B", 100, 100);
    std::vector<std::string> unloads;
    a.OnUnload = [&] { unloads.push_back("A"); };
    b.OnUnload = [&] { unloads.push_back("B"); };
    a.Show();
    b.Show();
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    platform->DoEvents();
    EXPECT_EQ(unloads, (std::vector<std::string>{"B", "A"}));
    EXPECT_TRUE(platform->OpenForms().empty());
}

TEST_F(SdlPlatformTest, EndClosesEveryWindowWithoutUnloadHandlers) {
    Form a("A", "A", 100, 100), b("B", "B", 100, 100);
    int unloads = 0;
    a.OnUnload = [&] { ++unloads; };
    b.OnUnload = [&] { ++unloads; };
    auto& box = b.Add<TextBox>("Box", 0, 0, 50, 20);
    b.OnKeyDown = [&](int k) {
        if (k == VK_ESCAPE) CurrentPlatform().End(7);
    };
    a.Show();
    b.Show();
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
    EXPECT_EQ(unloads, 0);
    EXPECT_TRUE(platform->OpenForms().empty());
    EXPECT_EQ(platform->ActiveForm(), nullptr);
    EXPECT_EQ(platform->WindowOf(a), nullptr);
    EXPECT_EQ(platform->WindowOf(b), nullptr);
    EXPECT_FALSE(SDL_IsTextInputActive());
}

TEST_F(SdlPlatformTest, AKeyHandlerMayRunANestedLoopOfYields) {
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
        }
    };
    form.Show();
    PushKey(SDL_SCANCODE_F2);
    PushKey(SDL_SCANCODE_A);  // already queued behind F2: the inner loop takes it
    platform->DoEvents();
    EXPECT_EQ(log, (std::vector<std::string>{"key 113", "key 65", "key 27", "game over"}));
    EXPECT_GE(passes, 4);
    EXPECT_LT(passes, 1000);
    // The outer yield carries on normally afterwards.
    PushKey(SDL_SCANCODE_P);
    platform->DoEvents();
    EXPECT_EQ(log.back(), "key 80");
}

TEST_F(SdlPlatformTest, AnEndInsideTheNestedLoopUnwindsBoth) {
    Form form("DisplayForm", "VORLAX", 100, 100);
    form.OnKeyDown = [&](int k) {
        if (k == VK_F2)
            for (;;) CurrentPlatform().DoEvents(1);
        if (k == VK_ESCAPE) CurrentPlatform().End(0);
    };
    form.Show();
    PushKey(SDL_SCANCODE_F2);
    PushKey(SDL_SCANCODE_ESCAPE);
    EXPECT_THROW(platform->RunEventLoop(), ProgramEnd);
    EXPECT_TRUE(platform->OpenForms().empty());
}

TEST_F(SdlPlatformTest, RunEventLoopReturnsWhenTheLastFormIsUnloaded) {
    Form form("F", "F", 100, 100);
    int keys = 0;
    form.OnKeyDown = [&](int) { ++keys; };
    form.Show();
    PushKey(SDL_SCANCODE_A);
    PushWindowEvent(WindowId(form), SDL_WINDOWEVENT_CLOSE);
    platform->RunEventLoop();
    EXPECT_EQ(keys, 1);
    EXPECT_FALSE(form.Loaded());
}

TEST_F(SdlPlatformTest, DoEventsWaitsForAnEventOrTheTimeout) {
    Form form("F", "F", 100, 100);
    form.Show();
    platform->DoEvents(0);
    platform->DoEvents(3);  // nothing queued: returns after the wait
    int keys = 0;
    form.OnKeyDown = [&](int) { ++keys; };
    PushKey(SDL_SCANCODE_A);
    platform->DoEvents(60'000);  // something queued: no wait at all
    EXPECT_EQ(keys, 1);
}

// ---------------------------------------------------------------- pictures

TEST_F(SdlPlatformTest, TheYieldShowsWhatChangedSinceTheLastPresent) {
    std::optional<Form> slot;
    Form& form = MakeDisplay(slot);
    form.Show();
    form.Cls();
    form.Refresh();
    EXPECT_EQ(platform->LastFrame(form).Pixel(10, 10), kBack);

    form.DrawLine(0, 10, 50, 10, RGB(10, 20, 30));
    EXPECT_EQ(platform->LastFrame(form).Pixel(10, 10), kBack);  // not shown before the yield
    platform->DoEvents();
    Surface frame = platform->LastFrame(form);
    EXPECT_EQ(frame.Pixel(10, 10), RGB(10, 20, 30));
    EXPECT_EQ(frame.Pixel(10, 11), kBack);
    EXPECT_EQ(frame.Width(), 785);
    EXPECT_EQ(frame.Height(), 617);

    // A change the form was not told of waits for the next present; an
    // exposed window is shown again although nothing changed.
    form.Image().SetPixel(20, 20, RGB(40, 50, 60));
    platform->DoEvents();
    EXPECT_EQ(platform->LastFrame(form).Pixel(20, 20), kBack);
    PushWindowEvent(WindowId(form), SDL_WINDOWEVENT_EXPOSED);
    platform->DoEvents();
    EXPECT_EQ(platform->LastFrame(form).Pixel(20, 20), RGB(40, 50, 60));
}

TEST_F(SdlPlatformTest, TheFormsImageShowsWithExactColours) {
    std::optional<Form> slot;
    Form& form = MakeDisplay(slot);
    form.Show();
    form.Cls();
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            form.Image().SetPixel(300 + x, 300 + y, RGB(x * 4, y * 4, 200));
    form.Refresh();
    Surface frame = platform->LastFrame(form);
    Surface expected = form.Image();
    EXPECT_TRUE(frame == expected);
    EXPECT_EQ(frame.Pixel(0, 0), kBack);
    EXPECT_EQ(frame.Pixel(784, 616), kBack);
    EXPECT_EQ(frame.Pixel(301, 302), RGB(4, 8, 200));
}

TEST_F(SdlPlatformTest, TheTitleLabelDrawsYellowTextInsideItsRectangleOnly) {
    if (!HaveFonts()) GTEST_SKIP() << "Liberation Sans not installed";
    std::optional<Form> slot;
    Form& form = MakeDisplay(slot);
    auto& title = form.Add<Label>("Label1", 88, 48, 417, 105);
    title.SetCaption("VORLAX");
    title.SetAlignment(Align::Centre);
    title.SetForeColor(kYellow);
    title.SetFont(Font{72, true});
    title.SetTransparent(true);
    form.Show();
    form.Cls();
    form.Refresh();

    Surface frame = platform->LastFrame(form);
    EXPECT_EQ(frame.Pixel(0, 0), kBack);
    EXPECT_EQ(frame.Pixel(88, 48), kBack);  // transparent: the image shows around the letters
    EXPECT_EQ(CountOutside(frame, kBack, 88, 48, 417, 105), 0);
    Box text = Changed(frame, kBack, 88, 48, 417, 105);
    EXPECT_GT(CountColour(frame, kYellow), 2000);
    // 96 px letters, centred: roughly as much room left as right.
    EXPECT_GT(text.maxY - text.minY, 50);
    EXPECT_LE(std::abs((text.minX - 88) - (88 + 416 - text.maxX)), 4);
    // Anti-aliased edges blend yellow into the background: never any blue.
    for (int y = 48; y < 153; ++y)
        for (int x = 88; x < 505; ++x) ASSERT_LE(BlueOf(frame.Pixel(x, y)), 1);
}

TEST_F(SdlPlatformTest, LabelsAlignEachLineWithinTheirWidth) {
    if (!HaveFonts()) GTEST_SKIP() << "Liberation Sans not installed";
    std::optional<Form> slot;
    Form& form = MakeDisplay(slot);
    const Align aligns[] = {Align::Left, Align::Centre, Align::Right};
    std::vector<Label*> labels;
    for (int i = 0; i < 3; ++i) {
        auto& l = form.Add<Label>("L" + std::to_string(i), 100, 50 + 60 * i, 400, 40);
        l.SetCaption("Press F2");
        l.SetFont(Font{24, false});
        l.SetForeColor(kYellow);
        l.SetTransparent(true);
        l.SetAlignment(aligns[i]);
        labels.push_back(&l);
    }
    form.Show();
    form.Cls();
    form.Refresh();
    Surface frame = platform->LastFrame(form);
    Box left = Changed(frame, kBack, 100, 50, 400, 40);
    Box centre = Changed(frame, kBack, 100, 110, 400, 40);
    Box right = Changed(frame, kBack, 100, 170, 400, 40);
    ASSERT_GT(left.count, 0);
    ASSERT_GT(centre.count, 0);
    ASSERT_GT(right.count, 0);
    EXPECT_LE(left.minX - 100, 4);
    EXPECT_LE(499 - right.maxX, 4);
    EXPECT_LE(std::abs((centre.minX - 100) - (499 - centre.maxX)), 3);
    // The same text, so the same width wherever it sits.
    EXPECT_EQ(left.maxX - left.minX, right.maxX - right.minX);
    // Lines start at the label's top.
    EXPECT_LT(left.minY - 50, 12);
    EXPECT_EQ(CountOutside(frame, kBack, 100, 50, 400, 160), 0);
}

TEST_F(SdlPlatformTest, AWrappedLabelStacksItsLinesAndClipsTheRest) {
    if (!HaveFonts()) GTEST_SKIP() << "Liberation Sans not installed";
    const std::string tagline =
        "In Space No One Can Hear You Scream!  Or Hear Anything For That Matter.";
    std::optional<Form> slot;
    Form& form = MakeDisplay(slot);
    auto& wrapped = form.Add<Label>("Label6", 88, 200, 401, 121);
    wrapped.SetCaption(tagline);
    wrapped.SetFont(Font{24, true});
    wrapped.SetForeColor(RGB(128, 255, 128));
    wrapped.SetAlignment(Align::Centre);
    wrapped.SetTransparent(true);
    wrapped.SetWordWrap(true);
    auto& oneLine = form.Add<Label>("Label7", 88, 400, 401, 121);
    oneLine.SetCaption(tagline);
    oneLine.SetFont(Font{24, true});
    oneLine.SetForeColor(RGB(128, 255, 128));
    oneLine.SetAlignment(Align::Centre);
    oneLine.SetTransparent(true);
    form.Show();
    form.Cls();
    form.Refresh();
    Surface frame = platform->LastFrame(form);

    Box w = Changed(frame, kBack, 88, 200, 401, 121);
    Box o = Changed(frame, kBack, 88, 400, 401, 121);
    EXPECT_GT(w.maxY - w.minY, 70);  // at least three lines of 32-pixel text
    EXPECT_LT(o.maxY - o.minY, 40);  // one line, overhanging both sides...
    EXPECT_LE(o.minX, 88 + 8);       // ...and cut at the label's edges
    EXPECT_GE(o.maxX, 88 + 400 - 8);
    EXPECT_EQ(CountOutside(frame, kBack, 88, 200, 401, 321), 0);
}

TEST_F(SdlPlatformTest, AnOpaqueLabelFillsItsRectangleAndAHiddenOneNothing) {
    std::optional<Form> slot;
    Form& form = MakeDisplay(slot);
    auto& opaque = form.Add<Label>("Opaque", 10, 20, 30, 15);
    opaque.SetBackColor(RGB(0, 0, 200));
    auto& hidden = form.Add<Label>("Hidden", 100, 20, 30, 15);
    hidden.SetBackColor(RGB(200, 0, 0));
    hidden.SetCaption("hidden");
    hidden.SetVisible(false);
    form.Show();
    form.Cls();
    form.Refresh();
    Surface frame = platform->LastFrame(form);
    EXPECT_EQ(frame.Pixel(10, 20), RGB(0, 0, 200));
    EXPECT_EQ(frame.Pixel(39, 34), RGB(0, 0, 200));
    EXPECT_EQ(frame.Pixel(40, 34), kBack);
    EXPECT_EQ(frame.Pixel(39, 35), kBack);
    EXPECT_EQ(frame.Pixel(9, 20), kBack);
    EXPECT_EQ(CountOutside(frame, kBack, 10, 20, 30, 15), 0);
}

TEST_F(SdlPlatformTest, AFocusedTextBoxShowsAOnePixelCaretAfterItsText) {
    if (!HaveFonts()) GTEST_SKIP() << "Liberation Sans not installed";
    std::optional<Form> slot;
    Form& form = MakeDisplay(slot);
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
    Surface without = platform->LastFrame(form);
    box.SetFocus();
    platform->DoEvents();
    Surface with = platform->LastFrame(form);

    EXPECT_EQ(without.Pixel(50, 50), 0);  // filled with its back colour
    EXPECT_EQ(without.Pixel(249, 74), 0);
    EXPECT_EQ(CountOutside(without, kBack, 50, 50, 200, 25), 0);
    Box text = Changed(without, 0, 50, 50, 200, 25);
    ASSERT_GT(text.count, 0);
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

    // Disabled: no caret (and it loses the focus anyway).
    box.SetEnabled(false);
    platform->DoEvents();
    Surface disabled = platform->LastFrame(form);
    EXPECT_EQ(disabled.Pixel(diff.minX, 60), without.Pixel(diff.minX, 60));
}

TEST_F(SdlPlatformTest, APictureBoxShowsItsOwnImageWithinItsSize) {
    std::optional<Form> slot;
    Form& form = MakeDisplay(slot);
    auto& pic = form.Add<PictureBox>("CollisionPict", 640, 40, 129, 89);
    for (int y = 0; y < 89; ++y)
        for (int x = 0; x < 129; ++x) pic.Image().SetPixel(x, y, RGB(x, y, 77));
    auto& offside = form.Add<PictureBox>("Off", 760, 600, 50, 50);  // partly off the window
    offside.Image().Fill(RGB(9, 9, 9));
    form.Show();
    form.Cls();
    form.Refresh();
    Surface frame = platform->LastFrame(form);
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

TEST_F(SdlPlatformTest, EveryKindOfControlPresentsWithoutTrouble) {
    std::optional<Form> slot;
    Form& form = MakeDisplay(slot);
    const Align aligns[] = {Align::Left, Align::Centre, Align::Right};
    const std::string captions[] = {"",
                                    "VORLAX",
                                    "In Space No One Can Hear You Scream!  Or Hear Anything",
                                    "Averyveryverylongwordthatfitsnowhereatall and more",
                                    "two\nlines",
                                    "bad \xFF\xFE utf8",
                                    "   "};
    int i = 0;
    for (Align a : aligns)
        for (bool wrap : {false, true})
            for (bool transparent : {false, true})
                for (const std::string& caption : captions) {
                    auto& l =
                        form.Add<Label>("L" + std::to_string(i), (i * 37) % 700 - 20,
                                        (i * 53) % 600 - 10, 10 + (i * 13) % 200, (i * 7) % 60);
                    l.SetCaption(caption);
                    l.SetAlignment(a);
                    l.SetWordWrap(wrap);
                    l.SetTransparent(transparent);
                    l.SetFont(Font{i % 2 ? 24.0 : 8.25, i % 3 == 0});
                    ++i;
                }
    for (Align a : aligns)
        for (const std::string& caption : captions) {
            auto& t = form.Add<TextBox>("T" + std::to_string(i), (i * 31) % 800 - 30,
                                        (i * 17) % 640 - 10, (i * 11) % 150, 25);
            t.SetText(caption);
            t.SetAlignment(a);
            ++i;
        }
    auto& empty = form.Add<PictureBox>("Empty", 10, 10, 0, 0);
    (void)empty;
    auto& zero = form.Add<Label>("Zero", -5, -5, 0, 0);
    zero.SetCaption("nothing");
    auto& huge = form.Add<Label>("Huge", 0, 0, 785, 617);
    huge.SetCaption("W");
    huge.SetFont(Font{400, true});
    huge.SetTransparent(true);
    auto& tiny = form.Add<Label>("Tiny", 0, 0, 50, 10);
    tiny.SetCaption("x");
    tiny.SetFont(Font{0.1, false});
    form.Show();
    form.Cls();
    form.Refresh();
    // Change things and present again through the caches.
    for (const auto& c : form.Controls()) {
        if (c->Kind() == ControlKind::Label)
            static_cast<Label&>(*c).SetCaption(static_cast<Label&>(*c).Caption() + " more");
        c->SetForeColor(RGB(200, 100, 50));
    }
    platform->DoEvents();
    form.SetClientSize(400, 300);
    platform->DoEvents();
    Surface frame = platform->LastFrame(form);
    EXPECT_EQ(frame.Width(), 400);
    EXPECT_EQ(frame.Height(), 300);
}

TEST_F(SdlPlatformTest, MissingOrBrokenFontsWarnOnceAndDrawNoText) {
    namespace fs = std::filesystem;
    fs::path dir = fs::temp_directory_path() / ("vorlax-fonts-" + std::to_string(getpid()));
    fs::create_directories(dir);
    std::ofstream(dir / "LiberationSans-Bold.ttf") << "this is not a font";
    platform->SetFontFolders({dir.string(), (dir / "nowhere").string()});

    std::optional<Form> slot;
    Form& form = MakeDisplay(slot);
    auto& bold = form.Add<Label>("Bold", 10, 10, 300, 50);
    bold.SetCaption("VORLAX");
    bold.SetFont(Font{24, true});
    bold.SetTransparent(true);
    bold.SetForeColor(kYellow);
    auto& bigger = form.Add<Label>("Bigger", 10, 100, 300, 50);
    bigger.SetCaption("VORLAX");
    bigger.SetFont(Font{36, true});
    bigger.SetTransparent(true);
    auto& regular = form.Add<TextBox>("Box", 10, 200, 300, 25);
    regular.SetText("ACE");
    regular.SetFont(Font{12, false});
    regular.SetBackColor(kBack);
    form.Show();
    form.Cls();
    ::testing::internal::CaptureStderr();
    form.Refresh();
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
    EXPECT_EQ(CountColour(platform->LastFrame(form), kBack), 785 * 617);
}

}  // namespace
}  // namespace vorlax
