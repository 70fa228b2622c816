// A start-up without a usable font, on the real SDL backend (its dummy video
// driver): the windows would show no text at all, so the start fails with a
// message that names the font files and every place they were looked for.
#include <SDL.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>

#include "core/errors.h"
#include "core/game_state.h"
#include "game/startup.h"
#include "graphics/sprites.h"
#include "platform/sdl_platform.h"

namespace vorlax {
namespace {

namespace fs = std::filesystem;

class StartupFonts : public ::testing::Test {
  protected:
    StartupFonts() {
        if (const char* old = std::getenv("SDL_VIDEODRIVER")) savedDriver_ = old;
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        platform_ = std::make_unique<SdlPlatform>();
        SetCurrentPlatform(platform_.get());
        G = GameState{};
        fs::create_directories(dir_);
    }
    ~StartupFonts() override {
        platform_.reset();
        G = GameState{};
        fs::remove_all(dir_);
        if (savedDriver_)
            setenv("SDL_VIDEODRIVER", savedDriver_->c_str(), 1);
        else
            unsetenv("SDL_VIDEODRIVER");
    }

    // What CheckFonts says, or "" when it finds the fonts.
    std::string FontProblem() {
        try {
            platform_->CheckFonts();
        } catch (const GameError& e) {
            EXPECT_EQ(e.Number(), kErrFont);
            return e.what();
        }
        return "";
    }

    const fs::path dir_ = fs::temp_directory_path() / ("vorlax-fonts-" + std::to_string(getpid()));
    std::unique_ptr<SdlPlatform> platform_;

  private:
    std::optional<std::string> savedDriver_;
};

TEST_F(StartupFonts, EachMissingOrBrokenFontIsNamedWithEveryPlaceItWasLookedFor) {
    const std::string a = dir_.string(), b = (dir_ / "nowhere").string();
    std::ofstream(dir_ / "LiberationSans-Regular.ttf") << "this is not a font";
    platform_->SetFontFolders({a, b});
    EXPECT_EQ(FontProblem(),
              "No usable font for the game's text: LiberationSans-Regular.ttf is not a readable "
              "font in " +
                  a + " and is missing from " + b + "; LiberationSans-Bold.ttf is missing from " +
                  a + " and is missing from " + b +
                  ". Install the Debian package fonts-liberation, or put the font files beside "
                  "the game.");
    // One good copy of each, wherever it is, is enough.
    platform_->SetFontFolders(
        {a, platform_->ProgramFolder(), "/usr/share/fonts/truetype/liberation"});
    if (!fs::exists(platform_->ProgramFolder() + "/LiberationSans-Bold.ttf") &&
        !fs::exists("/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf"))
        GTEST_SKIP() << "Liberation Sans not installed";
    EXPECT_EQ(FontProblem(), "");
}

TEST_F(StartupFonts, WithoutAUsableFontTheStartFailsWithStatusOneAndNoWindow) {
    platform_->SetFontFolders({dir_.string()});
    // Were the start to go on, this quit request would end it with status 0.
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    ASSERT_EQ(SDL_PushEvent(&quit), 1);
    ::testing::internal::CaptureStderr();
    const int status = RunGame();
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(status, 1);
    EXPECT_NE(err.find("VORLAX: No usable font for the game's text: LiberationSans-Regular.ttf is "
                       "missing from " +
                       dir_.string()),
              std::string::npos)
        << err;
    EXPECT_TRUE(platform_->OpenForms().empty());
    EXPECT_EQ(LiveSurfaceCount(), 0);
}

}  // namespace
}  // namespace vorlax
