// Gamepads through the SDL backend, with SDL's virtual joystick standing in
// for a real pad: pads plugged in before and during the game, and the keys
// they hold and press. (Which key each button stands for is pad_test's.)
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/keys.h"
#include "support/sdl_fixture.h"

namespace vorlax {
namespace {

class SdlPadTest : public testing::SdlTest {
  protected:
    SdlPadTest() {
        // The dummy driver gives no window the keyboard focus, and SDL drops
        // pad input while none has it.
        SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    }
    ~SdlPadTest() override {
        platform.reset();
        SDL_Quit();  // also what the test started before the platform
        SDL_ResetHints();
    }

    // Plugs in a virtual pad with SDL's standard buttons and axes; SDL makes
    // a game controller mapping for it from the masks.
    void PlugIn() {
        SDL_VirtualJoystickDesc d{};
        d.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        d.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        d.naxes = SDL_CONTROLLER_AXIS_MAX;
        d.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        d.button_mask = (1u << SDL_CONTROLLER_BUTTON_MAX) - 1;
        d.axis_mask = (1u << SDL_CONTROLLER_AXIS_MAX) - 1;
        device_ = SDL_JoystickAttachVirtualEx(&d);
        ASSERT_GE(device_, 0) << SDL_GetError();
        joystick_ = SDL_JoystickOpen(device_);
        ASSERT_NE(joystick_, nullptr) << SDL_GetError();
    }
    void Button(SDL_GameControllerButton b, bool down) {
        ASSERT_EQ(SDL_JoystickSetVirtualButton(joystick_, b, down ? 1 : 0), 0);
    }
    void Axis(SDL_GameControllerAxis a, int value) {
        ASSERT_EQ(SDL_JoystickSetVirtualAxis(joystick_, a, static_cast<Sint16>(value)), 0);
    }
    // SDL reads the virtual pad when it pumps events.
    void Yield() { platform->DoEvents(); }
    bool Held(int vk) { return platform->GetKeyState(vk) < 0; }

    SDL_Joystick* joystick_ = nullptr;
    int device_ = -1;
};

TEST_F(SdlPadTest, APadHoldsAndPressesTheGamesKeysBesideTheKeyboard) {
    Start();
    Form form("DisplayForm", "VORLAX", 100, 100);
    std::vector<int> pressed;
    form.OnKeyDown = [&](int k) { pressed.push_back(k); };
    form.Show();
    PlugIn();  // during the game
    Yield();
    Button(SDL_CONTROLLER_BUTTON_A, true);
    Yield();
    Yield();  // still held: no second press
    EXPECT_TRUE(Held(VK_SPACE));
    EXPECT_EQ(pressed, std::vector<int>{VK_SPACE});

    pressed.clear();
    Axis(SDL_CONTROLLER_AXIS_LEFTY, -32768);
    Button(SDL_CONTROLLER_BUTTON_START, true);
    Button(SDL_CONTROLLER_BUTTON_BACK, true);
    Yield();
    EXPECT_TRUE(Held(VK_UP));
    // Each change arrives as an event of its own, in whatever order SDL reads them.
    std::sort(pressed.begin(), pressed.end());
    EXPECT_EQ(pressed, (std::vector<int>{VK_UP, VK_P, VK_F2}));

    // Unplugged with buttons down: its keys are let go.
    SDL_JoystickClose(joystick_);
    ASSERT_EQ(SDL_JoystickDetachVirtual(device_), 0) << SDL_GetError();
    Yield();
    EXPECT_FALSE(Held(VK_SPACE));
    EXPECT_FALSE(Held(VK_UP));
}

TEST_F(SdlPadTest, APadPluggedInBeforeTheGameStartsWorksFromTheFirstYield) {
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER), 0) << SDL_GetError();
    PlugIn();
    Button(SDL_CONTROLLER_BUTTON_LEFTSHOULDER, true);
    Start();
    Yield();
    Button(SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, true);
    Yield();
    EXPECT_TRUE(Held(VK_SHIFT));
    EXPECT_TRUE(Held(VK_CONTROL));
}

}  // namespace
}  // namespace vorlax
