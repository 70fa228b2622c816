// The real game on a private X server: start-up, the title screen and the
// ways out (Esc, the close box). A failed start-up: message_box_e2e_test.cpp.
#include <gtest/gtest.h>

#include <array>
#include <sstream>

#include "e2e/e2e_fixture.h"

namespace vorlax::e2e {
namespace {

// The title labels, centred in the 785-pixel client width (left = 392.5 minus
// half the label's width), with their designed tops and sizes.
constexpr Rect kTitle{184, 48, 417, 105};     // "VORLAX"
constexpr Rect kTagline{192, 200, 401, 121};  // light green, wrapped
constexpr Rect kHelpPrompt{176, 376, 433, 41};
constexpr Rect kNewGamePrompt{224, 416, 337, 57};
constexpr Rect kScoresPrompt{192, 456, 401, 57};
constexpr std::array kLabels{kTitle, kTagline, kHelpPrompt, kNewGamePrompt, kScoresPrompt};
// The collision scratch picture stands here on the first title screen; it
// must not show.
constexpr Rect kCollisionPict{640, 40, 129, 89};

bool InsideALabel(int x, int y) {
    for (const Rect& r : kLabels)
        if (r.Contains(x, y)) return true;
    return false;
}

bool TitleDrawn(const Image& image) {
    return image.Width() == kClientWidth && image.Count(kTitle, kYellow) > 1000;
}

class E2ETitle : public GameOnXvfb {};

TEST_F(E2ETitle, ShowsTheTitleScreenAndEscQuits) {
    Launch();
    const std::optional<WindowInfo> window = WaitForMainWindow();
    ASSERT_TRUE(window) << "no 785x617 window titled VORLAX appeared";
    EXPECT_EQ(GameWindows().size(), 1u) << "only the game's window is open";

    const Image image = WaitForPicture(TitleDrawn, "the yellow title");
    ASSERT_EQ(image.Width(), kClientWidth);
    ASSERT_EQ(image.Height(), kClientHeight);

    // Every label shows its text in its colour.
    EXPECT_GT(image.Count(kTagline, kLightGreen), 300) << "the tagline";
    for (const Rect& prompt : {kHelpPrompt, kNewGamePrompt, kScoresPrompt})
        EXPECT_GT(image.Count(prompt, kYellow), 300) << "the prompt at " << prompt;
    // Nothing but the background outside the labels: no strip, no stars, no
    // ship, no scratch picture, no hidden label.
    int stray = 0;
    std::ostringstream first;
    for (int y = 0; y < image.Height(); ++y) {
        for (int x = 0; x < image.Width(); ++x) {
            if (InsideALabel(x, y) || image.At(x, y) == kBackground) continue;
            if (stray++ < 5) first << " (" << x << ", " << y << ") " << image.At(x, y);
        }
    }
    EXPECT_EQ(stray, 0) << "pixels outside the labels that are not the background:" << first.str();
    EXPECT_EQ(image.Count(kCollisionPict, kBackground), kCollisionPict.w * kCollisionPict.h);
    // The title is yellow letters on the background, with anti-aliased edges.
    EXPECT_GT(image.Count(kTitle, kBackground), 10000);

    QuitWithEscape();
}

TEST_F(E2ETitle, CloseBoxQuits) {
    Launch();
    ASSERT_TRUE(WaitForMainWindow());
    WaitForPicture(TitleDrawn, "the yellow title");
    ASSERT_TRUE(X().CloseBox(MainWindow()));
    const std::optional<int> status = WaitExit();
    ASSERT_TRUE(status.has_value()) << "the game did not end after its window was closed";
    EXPECT_EQ(*status, 0);
    EXPECT_TRUE(NoGameWindowLeft());
}

}  // namespace
}  // namespace vorlax::e2e
