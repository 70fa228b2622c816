// The SDL backend's scaled windows: the enlarged picture, a window resized by
// the player, fullscreen and its keys. The form's client area never changes,
// so no rule of the game notices any of it. (Text drawn at the scaled size is
// shown by the end-to-end scaling test on a real X server.)
#include <SDL.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/form.h"
#include "platform/keys.h"
#include "support/sdl_fixture.h"

namespace vorlax {
namespace {

constexpr Colour kBack = RGB(1, 0, 1);

class SdlWindowTest : public testing::SdlTest {
  protected:
    // A shown form of `w` x `h` on the game's background, with a pattern of
    // coloured pixels in its image and a resize counter.
    Form& Show(const std::string& name, int w, int h) {
        auto& form = *forms_.emplace_back(std::make_unique<Form>(name, name, w, h));
        form.SetBackColor(kBack);
        form.OnResize = [this] { ++resizes; };
        form.Cls();
        for (int y = 0; y < h; y += 3)
            for (int x = (y * 7) % 5; x < w; x += 5) form.Image().SetPixel(x, y, RGB(x, y, 200));
        form.Show();
        platform->DoEvents();
        return form;
    }
    std::pair<int, int> WindowSize(const Form& form) const {
        std::pair<int, int> wh;
        SDL_GetWindowSize(platform->WindowOf(form), &wh.first, &wh.second);
        return wh;
    }
    // Resizes the window as the player would and checks the frame: every
    // pixel of the picture shows the logical pixel the way back names, and
    // the rest is the background. Returns the picture's place.
    PixelRect ResizedTo(Form& form, int w, int h) {
        SDL_SetWindowSize(platform->WindowOf(form), w, h);
        platform->DoEvents();
        const Viewport view = platform->ViewOf(form);
        const Surface frame = platform->LastFrame(form);
        int wrong = 0;
        for (int y = 0; y < frame.Height(); ++y)
            for (int x = 0; x < frame.Width(); ++x) {
                const auto p = WindowToLogical(view, x, y);
                wrong += frame.Pixel(x, y) != (p ? form.Image().Pixel(p->x, p->y) : kBack);
            }
        EXPECT_EQ(wrong, 0) << w << "x" << h;
        return view.area;
    }

    int resizes = 0;
    std::vector<std::unique_ptr<Form>> forms_;
};

TEST_F(SdlWindowTest, AWindowAtScaleTwoShowsEachPixelAsATwoByTwoBlock) {
    Start({.scale = 2});
    Form& form = Show("DisplayForm", 120, 90);
    EXPECT_EQ(WindowSize(form), std::make_pair(240, 180));
    EXPECT_EQ(form.ClientWidth(), 120);
    const Surface frame = platform->LastFrame(form);
    ASSERT_EQ(frame.Width(), 240);
    for (int y = 0; y < 180; ++y)
        for (int x = 0; x < 240; ++x)
            ASSERT_EQ(frame.Pixel(x, y), form.Image().Pixel(x / 2, y / 2)) << x << ", " << y;
    // Windows opened later take the main window's scale; a new client size keeps it.
    EXPECT_EQ(WindowSize(Show("HelpForm", 50, 40)), std::make_pair(100, 80));
    form.SetClientSize(100, 60);
    EXPECT_EQ(WindowSize(form), std::make_pair(200, 120));
}

TEST_F(SdlWindowTest, AResizedWindowCentresTheLargestWholeScaleOrWithFillAnyFactor) {
    Start({.scale = 1});
    Form& form = Show("DisplayForm", 120, 90);
    resizes = 0;
    EXPECT_EQ(ResizedTo(form, 300, 200), (PixelRect{30, 10, 240, 180}));
    // The game sees nothing of it: same client area, no resize event.
    EXPECT_EQ(form.ClientWidth(), 120);
    EXPECT_EQ(resizes, 0);
    // A frame after that sends only the picture, and it still lands in place.
    form.Image().SetPixel(0, 0, RGB(9, 9, 9));
    form.Touch();
    platform->DoEvents();
    EXPECT_EQ(platform->LastFrame(form).Pixel(31, 11), RGB(9, 9, 9));

    forms_.clear();
    platform.reset();
    Start({.scale = 1, .anyFactor = true});
    Form& filled = Show("DisplayForm", 120, 90);
    const PixelRect area = ResizedTo(filled, 300, 200);
    EXPECT_EQ(area.height, 200);
    EXPECT_EQ(area.width, 267);  // 120 * 200 / 90 = 266.7
}

TEST_F(SdlWindowTest, F11AndAltEnterSwitchFullscreenAndNeverReachTheGame) {
    Start({.scale = 1});
    Form& form = Show("DisplayForm", 120, 90);
    std::vector<int> keys;
    form.OnKeyDown = [&](int k) { keys.push_back(k); };
    auto press = [&](SDL_Scancode key, Uint16 mod = 0, bool repeat = false) {
        PushKey(key, 0, repeat, mod);
        platform->DoEvents();
        return platform->IsFullscreen(form);
    };
    EXPECT_TRUE(press(SDL_SCANCODE_F11));
    const Surface full = platform->LastFrame(form);
    EXPECT_GT(full.Width(), 120);
    EXPECT_EQ(platform->ViewOf(form).area,
              FitPicture({120, 90}, {full.Width(), full.Height()}, false).area);
    EXPECT_TRUE(press(SDL_SCANCODE_F11, 0, /*repeat=*/true)) << "a held F11 does not flicker";
    EXPECT_FALSE(press(SDL_SCANCODE_RETURN, KMOD_LALT));
    EXPECT_TRUE(press(SDL_SCANCODE_KP_ENTER, KMOD_RALT));
    EXPECT_TRUE(press(SDL_SCANCODE_RETURN)) << "Enter alone is the game's";
    EXPECT_EQ(keys, std::vector<int>{VK_RETURN});
    EXPECT_EQ(form.ClientWidth(), 120);
}

TEST_F(SdlWindowTest, StartingFullscreenAppliesToTheMainWindowOnly) {
    Start({.scale = 1, .fullscreen = true});
    Form& main = Show("DisplayForm", 120, 90);
    Form& help = Show("HelpForm", 50, 40);
    EXPECT_TRUE(platform->IsFullscreen(main));
    EXPECT_FALSE(platform->IsFullscreen(help));
    EXPECT_EQ(WindowSize(help), std::make_pair(50, 40));
}

}  // namespace
}  // namespace vorlax
