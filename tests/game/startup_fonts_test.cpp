// A start-up without a usable font, on the real SDL backend (its dummy video
// driver): the windows would show no text at all, so the start fails with a
// message that names the font files and every place they were looked for.
#include <gtest/gtest.h>

#include <string>

#include "core/errors.h"
#include "core/game_state.h"
#include "game/startup.h"
#include "graphics/sprites.h"
#include "support/sdl_fixture.h"
#include "support/temp_folder.h"

namespace vorlax {
namespace {

class StartupFonts : public testing::SdlTest {
  protected:
    StartupFonts() {
        Start();
        G = GameState{};
    }
    ~StartupFonts() override { G = GameState{}; }

    // What CheckFonts says, or "" when it finds the fonts.
    std::string FontProblem() {
        try {
            platform->CheckFonts();
        } catch (const GameError& e) {
            EXPECT_EQ(e.Number(), kErrFont);
            return e.what();
        }
        return "";
    }

    testing::TempFolder dir;
};

TEST_F(StartupFonts, EachMissingOrBrokenFontIsNamedWithEveryPlaceItWasLookedFor) {
    const std::string a = dir.Path().string(), b = dir.File("nowhere");
    dir.Write("LiberationSans-Regular.ttf", "this is not a font");
    platform->SetFontFolders({a, b});
    EXPECT_EQ(FontProblem(),
              "No usable font for the game's text: LiberationSans-Regular.ttf is not a readable "
              "font in " +
                  a + " and is missing from " + b + "; LiberationSans-Bold.ttf is missing from " +
                  a + " and is missing from " + b +
                  ". Install the Debian package fonts-liberation, or put the font files beside "
                  "the game.");
    // One good copy of each, wherever it is, is enough.
    if (FontFolder().empty()) GTEST_SKIP() << "Liberation Sans not installed";
    platform->SetFontFolders({a, FontFolder()});
    EXPECT_EQ(FontProblem(), "");
}

TEST_F(StartupFonts, WithoutAUsableFontTheStartFailsWithStatusOneAndNoWindow) {
    platform->SetFontFolders({dir.Path().string()});
    // Were the start to go on, this quit request would end it with status 0.
    Push(SDL_Event{SDL_QUIT});
    ::testing::internal::CaptureStderr();
    const int status = RunGame();
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(status, 1);
    EXPECT_NE(err.find("VORLAX: No usable font for the game's text: LiberationSans-Regular.ttf is "
                       "missing from " +
                       dir.Path().string()),
              std::string::npos)
        << err;
    EXPECT_TRUE(platform->OpenForms().empty());
    EXPECT_EQ(LiveSurfaceCount(), 0);
}

}  // namespace
}  // namespace vorlax
