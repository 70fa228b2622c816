// The real game on a private X server: start-up, the title screen and the
// ways out (Esc, the close box). A failed start-up: message_box_e2e_test.cpp.
#include <gtest/gtest.h>

#include <array>
#include <sstream>

#include "e2e/e2e_fixture.h"

namespace vorlax::e2e {
namespace {

// The title labels, centred in the 785-pixel client width, with their
// designed tops and sizes.
constexpr Rect kTagline{192, 200, 401, 121};  // light green, wrapped
constexpr Rect kHelpPrompt{176, 376, 433, 41};
constexpr Rect kNewGamePrompt{224, 416, 337, 57};
constexpr Rect kScoresPrompt{192, 456, 401, 57};
constexpr std::array kLabels{kTitle, kTagline, kHelpPrompt, kNewGamePrompt, kScoresPrompt};

class E2ETitle : public GameOnXvfb {};

TEST_F(E2ETitle, ShowsOnlyTheTitleScreenAndEscOrTheCloseBoxQuitWithStatusZero) {
    ASSERT_TRUE(StartOnTitle());
    EXPECT_EQ(GameWindows().size(), 1u) << "only the game's window is open";
    const Image image = Capture();
    ASSERT_EQ(image.Height(), kClientHeight);

    // Every label shows its text in its colour; the title is yellow letters
    // on the background, with anti-aliased edges.
    EXPECT_GT(image.Count(kTagline, kLightGreen), 300) << "the tagline";
    for (const Rect& prompt : {kHelpPrompt, kNewGamePrompt, kScoresPrompt})
        EXPECT_GT(image.Count(prompt, kYellow), 300) << "the prompt at " << prompt;
    EXPECT_GT(image.Count(kTitle, kBackground), 10000);
    // Nothing but the background outside the labels: no strip, no stars, no
    // ship, no collision scratch picture, no hidden label.
    int stray = 0;
    std::ostringstream first;
    for (int y = 0; y < image.Height(); ++y) {
        for (int x = 0; x < image.Width(); ++x) {
            bool inLabel = false;
            for (const Rect& r : kLabels) inLabel = inLabel || r.Contains(x, y);
            if (inLabel || image.At(x, y) == kBackground) continue;
            if (stray++ < 5) first << " (" << x << ", " << y << ") " << image.At(x, y);
        }
    }
    EXPECT_EQ(stray, 0) << "pixels outside the labels that are not the background:" << first.str();
    QuitWithEscape();

    ASSERT_TRUE(StartOnTitle());
    ASSERT_TRUE(X().CloseBox(MainWindow()));
    ExpectExit(0, "the close box");
}

}  // namespace
}  // namespace vorlax::e2e
