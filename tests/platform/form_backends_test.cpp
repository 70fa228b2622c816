// The form model's bookkeeping as each backend keeps it: which form and
// control a key or typed text reaches, focus, hiding and the close box. One
// test, run on both backends.
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
    void Key(int vk) {
        SDL_Event e{SDL_KEYDOWN};
        for (int s = 0; s < SDL_NUM_SCANCODES && e.key.keysym.scancode == 0; ++s)
            if (VirtualKeyForScancode(s) == vk) e.key.keysym.scancode = SDL_Scancode(s);
        SDL_PushEvent(&e);
    }
    void Text(const std::string& utf8) {
        SDL_Event e{SDL_TEXTINPUT};
        std::snprintf(e.text.text, sizeof e.text.text, "%s", utf8.c_str());
        SDL_PushEvent(&e);
    }
    void Close(Form& form) {
        SDL_Event e{SDL_WINDOWEVENT};
        e.window.windowID = SDL_GetWindowID(platform.WindowOf(form));
        e.window.event = SDL_WINDOWEVENT_CLOSE;
        SDL_PushEvent(&e);
    }
};

template <typename Backend>
class FormsOnEveryBackend : public ::testing::Test {
  protected:
    FormsOnEveryBackend() { SetCurrentPlatform(&b->platform); }
    ~FormsOnEveryBackend() override { SetCurrentPlatform(nullptr); }
    void ShowLogging(std::initializer_list<Form*> forms) { testing::ShowLogging(forms, log); }

    std::unique_ptr<Backend> b = std::make_unique<Backend>();
    Platform& p = b->platform;
    std::vector<std::string> log;
};

using Backends = ::testing::Types<Headless, Sdl>;
TYPED_TEST_SUITE(FormsOnEveryBackend, Backends);

TYPED_TEST(FormsOnEveryBackend, KeysReachTheActiveFormThenItsFocusedControlAndTextItsTextBox) {
    auto [b, p, log] = std::tie(*this->b, this->p, this->log);
    Form one("A", "A", 100, 100), two("B", "B", 100, 100);
    auto& box = two.Add<TextBox>("Box", 0, 0, 50, 20);
    auto& other = two.Add<TextBox>("Other", 0, 30, 50, 20);
    box.OnKeyDown = [&](int k) { log.push_back("box" + std::to_string(k)); };
    this->ShowLogging({&one, &two});
    // A key whose form handler moves the focus is not the control's any more.
    two.OnKeyDown = [&](int k) {
        log.push_back("B" + std::to_string(k));
        if (k == VK_BACK) other.SetFocus();
    };
    two.Add<Label>("Label", 0, 60, 50, 20).SetFocus();  // labels never take the focus
    EXPECT_EQ(two.FocusedControl(), nullptr);
    box.SetFocus();
    b.Key(VK_F2);
    b.Text("Ace");
    b.Key(VK_BACK);
    p.DoEvents();
    one.SetFocus();
    b.Key(VK_ESCAPE);
    p.DoEvents();
    EXPECT_EQ(log, (std::vector<std::string>{"B113", "box113", "B8", "A27"}));
    EXPECT_EQ(box.Text(), "Ace");
    // A hidden or disabled box loses the focus and cannot take it again.
    box.SetFocus();
    box.SetVisible(false);
    EXPECT_EQ(two.FocusedControl(), nullptr);
    box.SetVisible(true);
    box.SetEnabled(false);
    box.SetFocus();
    EXPECT_EQ(two.FocusedControl(), nullptr);
}

TYPED_TEST(FormsOnEveryBackend, HidingKeepsAFormLoadedAndTheCloseBoxUnloadsItOnce) {
    auto [b, p, log] = std::tie(*this->b, this->p, this->log);
    Form form("F", "F", 100, 100), help("H", "H", 50, 50);
    int resizes = 0;
    this->ShowLogging({&form, &help});
    form.OnUnload = [&] {
        log.push_back("F gone");
        form.Unload();  // closing a window that is already closing does nothing more
    };
    form.OnResize = [&] { ++resizes; };
    form.Show();  // shown already: only activated
    EXPECT_EQ(p.ActiveForm(), &form);
    help.Show();
    help.Hide();  // loaded still, and the focus goes with it
    EXPECT_EQ(p.ActiveForm(), nullptr);
    EXPECT_TRUE(help.Loaded());
    b.Close(form);
    b.Close(form);  // already gone: ignored
    p.DoEvents();
    EXPECT_EQ(log, (std::vector<std::string>{"F gone"}));
    EXPECT_EQ(p.OpenForms(), (std::vector<Form*>{&help}));
    form.Show();
    EXPECT_EQ(resizes, 1);  // a form loaded again is sized again
    EXPECT_EQ(p.OpenForms(), (std::vector<Form*>{&help, &form}));
}

}  // namespace
}  // namespace vorlax
