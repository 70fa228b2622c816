// The form model's bookkeeping as each backend keeps it: which form and
// control a key or typed text reaches, focus, hiding, the close box, nested
// loops and the end of the program. One test, run on both backends.
#include <SDL.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/form.h"
#include "platform/headless_platform.h"
#include "platform/keys.h"
#include "platform/sdl_platform.h"
#include "support/sdl_fixture.h"

namespace vorlax {
namespace {

struct Headless {
    HeadlessPlatform platform;
    void Key(int vk) { platform.QueueKeyDown(vk); }
    void Text(const std::string& utf8) { platform.QueueText(utf8); }
    void Close(Form& form) { platform.QueueClose(form); }
};

// The window system's events, put where it would put them.
struct Sdl {
    testing::DummyVideo video;
    SdlPlatform platform;
    static void Push(SDL_Event e) { ASSERT_EQ(SDL_PushEvent(&e), 1); }
    void Key(int vk) {
        SDL_Event e{SDL_KEYDOWN};
        for (int s = 0; s < SDL_NUM_SCANCODES && e.key.keysym.scancode == 0; ++s)
            if (VirtualKeyForScancode(s) == vk)
                e.key.keysym.scancode = static_cast<SDL_Scancode>(s);
        Push(e);
    }
    void Text(const std::string& utf8) {
        SDL_Event e{SDL_TEXTINPUT};
        std::snprintf(e.text.text, sizeof e.text.text, "%s", utf8.c_str());
        Push(e);
    }
    void Close(Form& form) {
        SDL_Event e{SDL_WINDOWEVENT};
        e.window.windowID = SDL_GetWindowID(platform.WindowOf(form));
        e.window.event = SDL_WINDOWEVENT_CLOSE;
        Push(e);
    }
};

template <typename Backend>
class FormsOnEveryBackend : public ::testing::Test {
  protected:
    FormsOnEveryBackend() { SetCurrentPlatform(&b->platform); }
    ~FormsOnEveryBackend() override { SetCurrentPlatform(nullptr); }
    Platform& P() { return b->platform; }
    // Shows `forms` in order, each logging its keys ("A113") and unload ("A gone").
    void ShowLogging(std::initializer_list<Form*> forms) {
        for (Form* f : forms) {
            const std::string name = f->Name();
            f->OnKeyDown = [this, name](int k) { log.push_back(name + std::to_string(k)); };
            f->OnUnload = [this, name] { log.push_back(name + " gone"); };
            f->Show();
        }
    }

    std::unique_ptr<Backend> b = std::make_unique<Backend>();
    std::vector<std::string> log;
};

using Backends = ::testing::Types<Headless, Sdl>;
TYPED_TEST_SUITE(FormsOnEveryBackend, Backends);

TYPED_TEST(FormsOnEveryBackend, KeysReachTheActiveFormThenItsFocusedControlAndTextItsTextBox) {
    Form a("A", "A", 100, 100), b("B", "B", 100, 100);
    auto& box = b.Add<TextBox>("Box", 0, 0, 50, 20);
    auto& label = b.Add<Label>("Label", 0, 30, 50, 20);
    box.OnKeyDown = [&](int k) { this->log.push_back("box" + std::to_string(k)); };
    this->ShowLogging({&a, &b});
    label.SetFocus();  // labels never take the focus
    EXPECT_EQ(b.FocusedControl(), nullptr);
    box.SetFocus();
    this->b->Key(VK_F2);
    this->b->Text("Ace");
    this->P().DoEvents();
    a.SetFocus();
    this->b->Key(VK_ESCAPE);
    this->b->Text("x");
    this->P().DoEvents();
    EXPECT_EQ(this->log, (std::vector<std::string>{"B113", "box113", "A27"}));
    EXPECT_EQ(box.Text(), "Ace");
    // A hidden or disabled box loses the focus and cannot take it again.
    b.SetFocus();
    EXPECT_TRUE(box.HasFocus());
    box.SetVisible(false);
    EXPECT_EQ(b.FocusedControl(), nullptr);
    box.SetVisible(true);
    box.SetEnabled(false);
    box.SetFocus();
    EXPECT_EQ(b.FocusedControl(), nullptr);
}

TYPED_TEST(FormsOnEveryBackend, HidingKeepsAFormLoadedAndTheCloseBoxUnloadsItOnce) {
    Form form("F", "F", 100, 100), help("H", "H", 50, 50);
    int resizes = 0;
    this->ShowLogging({&form, &help});
    form.OnUnload = [&] {
        this->log.push_back("F gone");
        form.Unload();  // closing a window that is already closing does nothing more
    };
    form.OnResize = [&] { ++resizes; };
    form.Show();  // shown already: only activated
    EXPECT_EQ(this->P().ActiveForm(), &form);
    help.Show();
    help.Hide();  // loaded still, and the focus goes with it
    EXPECT_EQ(this->P().ActiveForm(), nullptr);
    EXPECT_TRUE(help.Loaded());
    help.SetFocus();  // a hidden form takes no focus
    EXPECT_EQ(this->P().ActiveForm(), nullptr);
    this->b->Close(form);
    this->b->Close(form);  // already gone: ignored
    this->P().DoEvents();
    EXPECT_EQ(this->log, (std::vector<std::string>{"F gone"}));
    EXPECT_EQ(this->P().OpenForms(), (std::vector<Form*>{&help}));
    form.Show();
    EXPECT_EQ(resizes, 1);  // a form loaded again is sized again
    EXPECT_EQ(this->P().OpenForms(), (std::vector<Form*>{&help, &form}));
}

TYPED_TEST(FormsOnEveryBackend, AKeyHandlerMayRunANestedLoopAndEndUnwindsBothClosingEveryWindow) {
    Form form("DisplayForm", "VORLAX", 100, 100), other("B", "B", 100, 100);
    auto& box = other.Add<TextBox>("Box", 0, 0, 50, 20);
    bool playing = false;
    int passes = 0;
    other.OnUnload = [&] { this->log.push_back("unloaded"); };
    form.OnKeyDown = [&](int k) {
        this->log.push_back("key " + std::to_string(k));
        if (k == VK_F2 && !playing) {
            // A whole game inside the handler: it yields until Esc stops it.
            playing = true;
            while (playing && passes < 1000) {
                CurrentPlatform().DoEvents(1);
                if (++passes == 3) this->b->Key(VK_ESCAPE);  // pressed during play
            }
            this->log.push_back("game over");
        } else if (k == VK_ESCAPE) {
            playing = false;
        } else if (k == 'Q') {
            box.SetFocus();
            CurrentPlatform().End(7);
        }
    };
    other.Show();
    form.Show();
    this->b->Key(VK_F2);
    this->b->Key('A');  // already queued behind F2: the inner loop takes it
    this->P().DoEvents();
    EXPECT_EQ(this->log, (std::vector<std::string>{"key 113", "key 65", "key 27", "game over"}));

    // An End during the next game unwinds the game and the outer loop alike,
    // closing the windows without their unload handlers.
    this->log.clear();
    this->b->Key(VK_F2);
    this->b->Key('Q');
    this->b->Key(VK_ESCAPE);  // left in the queue by the end
    try {
        this->P().RunEventLoop();
        ADD_FAILURE() << "End did not throw";
    } catch (const ProgramEnd& end) {
        EXPECT_EQ(end.status, 7);
    }
    EXPECT_EQ(this->log, (std::vector<std::string>{"key 113", "key 81"}));
    EXPECT_TRUE(this->P().OpenForms().empty());
    EXPECT_EQ(this->P().ActiveForm(), nullptr);
}

}  // namespace
}  // namespace vorlax
