// The SDL backend's scaled windows on SDL's dummy video driver: the window's
// size, the enlarged picture, text drawn at the scaled size, a window resized
// by the player, fullscreen and its keys. The form's client area never
// changes, so no rule of the game notices any of it.
#include <SDL.h>
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/form.h"
#include "platform/keys.h"
#include "platform/sdl_platform.h"

namespace vorlax {
namespace {

constexpr Colour kBack = RGB(1, 0, 1);
constexpr Colour kYellow = RGB(255, 255, 0);

class SdlWindowTest : public ::testing::Test {
  protected:
    SdlWindowTest() {
        if (const char* old = std::getenv("SDL_VIDEODRIVER")) savedDriver_ = old;
        setenv("SDL_VIDEODRIVER", "dummy", 1);
    }
    ~SdlWindowTest() override {
        forms_.clear();
        platform_.reset();
        if (savedDriver_)
            setenv("SDL_VIDEODRIVER", savedDriver_->c_str(), 1);
        else
            unsetenv("SDL_VIDEODRIVER");
    }

    SdlPlatform& Start(Presentation presentation) {
        platform_ = std::make_unique<SdlPlatform>(presentation);
        SetCurrentPlatform(platform_.get());
        return *platform_;
    }

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
        platform_->DoEvents();
        return form;
    }

    static std::pair<int, int> WindowSize(SDL_Window* w) {
        std::pair<int, int> wh;
        SDL_GetWindowSize(w, &wh.first, &wh.second);
        return wh;
    }

    static bool HaveFonts() {
        return std::filesystem::exists(
            "/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf");
    }

    static void PushKey(SDL_Scancode scancode, Uint16 mod = 0, bool repeat = false) {
        SDL_Event e{SDL_KEYDOWN};
        e.key.state = SDL_PRESSED;
        e.key.repeat = repeat ? 1 : 0;
        e.key.keysym = {scancode, SDL_GetKeyFromScancode(scancode), mod, 0};
        ASSERT_EQ(SDL_PushEvent(&e), 1);
    }

    int resizes = 0;
    std::vector<std::unique_ptr<Form>> forms_;

  private:
    std::unique_ptr<SdlPlatform> platform_;
    std::optional<std::string> savedDriver_;
};

// Every pixel of `area` (window pixels) shows the logical pixel of `image`
// that `view` puts there; the count of mismatches.
int Mismatches(const Surface& frame, const Surface& image, const Viewport& view) {
    int wrong = 0;
    for (int y = view.area.y; y < view.area.Bottom(); ++y)
        for (int x = view.area.x; x < view.area.Right(); ++x) {
            const auto p = WindowToLogical(view, x, y);
            if (!p || frame.Pixel(x, y) != image.Pixel(p->x, p->y)) ++wrong;
        }
    return wrong;
}

int OutsideNotBack(const Surface& frame, const PixelRect& picture) {
    int n = 0;
    for (int y = 0; y < frame.Height(); ++y)
        for (int x = 0; x < frame.Width(); ++x) {
            const bool inside =
                x >= picture.x && y >= picture.y && x < picture.Right() && y < picture.Bottom();
            n += !inside && frame.Pixel(x, y) != kBack;
        }
    return n;
}

TEST_F(SdlWindowTest, AWindowAtScaleTwoShowsEachPixelAsATwoByTwoBlock) {
    SdlPlatform& p = Start({.scale = 2});
    Form& form = Show("DisplayForm", 120, 90);
    EXPECT_EQ(WindowSize(p.WindowOf(form)), std::make_pair(240, 180));
    EXPECT_EQ(form.ClientWidth(), 120);
    const Surface frame = p.LastFrame(form);
    ASSERT_EQ(frame.Width(), 240);
    for (int y = 0; y < 180; ++y)
        for (int x = 0; x < 240; ++x)
            ASSERT_EQ(frame.Pixel(x, y), form.Image().Pixel(x / 2, y / 2)) << x << ", " << y;

    // Windows opened later take the main window's scale.
    Form& help = Show("HelpForm", 50, 40);
    EXPECT_EQ(WindowSize(p.WindowOf(help)), std::make_pair(100, 80));
    // A new client size keeps the scale.
    form.SetClientSize(100, 60);
    EXPECT_EQ(WindowSize(p.WindowOf(form)), std::make_pair(200, 120));
}

TEST_F(SdlWindowTest, TextIsDrawnAtTheScaledSizeNotEnlarged) {
    if (!HaveFonts()) GTEST_SKIP() << "Liberation Sans not installed";
    SdlPlatform& p = Start({.scale = 3});
    Form& form = Show("DisplayForm", 200, 60);
    form.Cls();
    auto& label = form.Add<Label>("Label1", 10, 5, 180, 50);
    label.SetCaption("VORLAX");
    label.SetFont(Font{24, true});
    label.SetForeColor(kYellow);
    label.SetTransparent(true);
    label.SetAlignment(Align::Centre);
    p.DoEvents();
    const Surface frame = p.LastFrame(form);
    // The letters stay inside the label's enlarged rectangle...
    int yellowish = 0, outside = 0, brokenBlocks = 0;
    int minY = INT_MAX, maxY = INT_MIN;
    for (int y = 0; y < frame.Height(); ++y)
        for (int x = 0; x < frame.Width(); ++x) {
            if (frame.Pixel(x, y) == kBack) continue;
            ++yellowish;
            minY = std::min(minY, y);
            maxY = std::max(maxY, y);
            outside += x < 30 || y < 15 || x >= 570 || y >= 165;
        }
    EXPECT_EQ(outside, 0);
    // ...32-pixel letters three times as tall...
    EXPECT_GT(maxY - minY, 3 * 20);
    // ...with edges as fine as single window pixels: an enlarged picture of
    // small text would be made of whole 3x3 blocks.
    for (int y = 15; y + 3 <= 165; y += 3)
        for (int x = 30; x + 3 <= 570; x += 3) {
            bool uniform = true;
            for (int dy = 0; dy < 3; ++dy)
                for (int dx = 0; dx < 3; ++dx)
                    uniform = uniform && frame.Pixel(x + dx, y + dy) == frame.Pixel(x, y);
            brokenBlocks += !uniform;
        }
    EXPECT_GT(yellowish, 3000);
    EXPECT_GT(brokenBlocks, 50);
}

TEST_F(SdlWindowTest, AResizedWindowCentresTheLargestWholeScaleOnTheBackground) {
    SdlPlatform& p = Start({.scale = 1});
    Form& form = Show("DisplayForm", 120, 90);
    resizes = 0;
    SDL_SetWindowSize(p.WindowOf(form), 300, 200);  // as the player would
    p.DoEvents();
    const Viewport view = p.ViewOf(form);
    EXPECT_EQ(view.area, (PixelRect{30, 10, 240, 180}));
    const Surface frame = p.LastFrame(form);
    ASSERT_EQ(frame.Width(), 300);
    EXPECT_EQ(Mismatches(frame, form.Image(), view), 0);
    EXPECT_EQ(OutsideNotBack(frame, view.area), 0);
    // The game sees nothing of it: same client area, no resize event.
    EXPECT_EQ(form.ClientWidth(), 120);
    EXPECT_EQ(form.ClientHeight(), 90);
    EXPECT_EQ(resizes, 0);

    // A frame after that sends only the picture, and it still lands in place.
    form.Image().SetPixel(0, 0, RGB(9, 9, 9));
    form.Touch();
    p.DoEvents();
    EXPECT_EQ(p.LastFrame(form).Pixel(31, 11), RGB(9, 9, 9));
}

TEST_F(SdlWindowTest, AnyFactorFillsTheWindowAsFarAsTheShapeAllows) {
    SdlPlatform& p = Start({.scale = 1, .anyFactor = true});
    Form& form = Show("DisplayForm", 120, 90);
    SDL_SetWindowSize(p.WindowOf(form), 300, 200);
    p.DoEvents();
    const Viewport view = p.ViewOf(form);
    EXPECT_EQ(view.area.height, 200);
    EXPECT_EQ(view.area.width, 267);  // 120 * 200 / 90 = 266.7
    const Surface frame = p.LastFrame(form);
    EXPECT_EQ(Mismatches(frame, form.Image(), view), 0);
    EXPECT_EQ(OutsideNotBack(frame, view.area), 0);
}

TEST_F(SdlWindowTest, F11AndAltEnterSwitchFullscreenAndNeverReachTheGame) {
    SdlPlatform& p = Start({.scale = 1});
    Form& form = Show("DisplayForm", 120, 90);
    std::vector<int> keys;
    form.OnKeyDown = [&](int k) { keys.push_back(k); };

    PushKey(SDL_SCANCODE_F11);
    p.DoEvents();
    EXPECT_TRUE(p.IsFullscreen(form));
    const Surface full = p.LastFrame(form);
    const Viewport view = p.ViewOf(form);
    EXPECT_GT(full.Width(), 120);
    EXPECT_EQ(view.area, FitPicture({120, 90}, {full.Width(), full.Height()}, false).area);
    EXPECT_EQ(Mismatches(full, form.Image(), view), 0);
    EXPECT_EQ(OutsideNotBack(full, view.area), 0);

    PushKey(SDL_SCANCODE_F11, 0, /*repeat=*/true);  // a held F11 does not flicker
    p.DoEvents();
    EXPECT_TRUE(p.IsFullscreen(form));
    PushKey(SDL_SCANCODE_RETURN, KMOD_LALT);
    p.DoEvents();
    EXPECT_FALSE(p.IsFullscreen(form));
    PushKey(SDL_SCANCODE_KP_ENTER, KMOD_RALT);
    p.DoEvents();
    EXPECT_TRUE(p.IsFullscreen(form));
    // Enter alone is the game's.
    PushKey(SDL_SCANCODE_RETURN);
    p.DoEvents();
    EXPECT_TRUE(p.IsFullscreen(form));
    EXPECT_EQ(keys, std::vector<int>{VK_RETURN});
    EXPECT_EQ(form.ClientWidth(), 120);
}

TEST_F(SdlWindowTest, StartingFullscreenAppliesToTheMainWindowOnly) {
    SdlPlatform& p = Start({.scale = 1, .fullscreen = true});
    Form& main = Show("DisplayForm", 120, 90);
    Form& help = Show("HelpForm", 50, 40);
    EXPECT_TRUE(p.IsFullscreen(main));
    EXPECT_FALSE(p.IsFullscreen(help));
    EXPECT_EQ(WindowSize(p.WindowOf(help)), std::make_pair(50, 40));
}

}  // namespace
}  // namespace vorlax
