// Start-up, its failures, and the ways out of the program.
#include "game/startup.h"

#include <gtest/gtest.h>

#include <tuple>

#include "game/windows.h"
#include "graphics/sprites.h"
#include "support/game_fixture.h"

namespace vorlax {
namespace {

class Startup : public testing::GameTest {
  protected:
    // Notes how many surfaces were held when a message box appeared.
    Startup() {
        platform.OnMessage = [&](const HeadlessPlatform::Message&) {
            heldAtMessage = LiveSurfaceCount();
        };
    }
    int heldAtMessage = -1;
};

// With every file the title screen appears and nothing is reported; the
// shutdown frees each surface once and closes the window.
TEST_F(Startup, WithEveryFileTheTitleScreenAppearsAndShutdownFreesEverything) {
    Main();
    ASSERT_TRUE(platform.Messages().empty()) << platform.Messages()[0].text;
    EXPECT_FALSE(StartupFailed());
    ASSERT_EQ(LiveSurfaceCount(), 26);
    EXPECT_TRUE(G.ShipDC != 0 && G.EnemyMaskDC[11] != 0);
    EXPECT_EQ(std::tuple(SurfaceOf(G.CarrierDC)->Width(), SurfaceOf(G.EnemySpriteDC[9])->Height(),
                         G.EnemyWidth[3], G.ColWhite),
              std::tuple(1313, 15, 107, RGB(255, 255, 255)));
    EXPECT_TRUE(DisplayForm().form.Visible() && DisplayForm().form.IsActive());
    EXPECT_EQ(G.Energy, 500);  // the first resize ran the new-game reset
    // The delivered table, rank by rank.
    EXPECT_EQ(std::tuple(G.HighScores[1], G.HighNames[1], G.HighScores[10], G.HighNames[10]),
              std::tuple(12000, "Starhawk", 500, "Rookie"));
    EXPECT_THROW(Shutdown(), ProgramEnd);  // the unload handler ends the program
    EXPECT_EQ(std::tuple(LiveSurfaceCount(), G.ShipDC, G.EnemySpriteDC[11]), std::tuple(0, 0, 0));
    EXPECT_TRUE(platform.OpenForms().empty());
    EXPECT_EQ(G.GameRunning, False);
}

struct BadFile {
    const char* what;
    const char* file;
    std::string content;  // empty: the file is removed; "=name": a copy of that file
    const char* mentions;
    int heldAtMessage;  // the surfaces loaded when the message appeared
};

class StartupFailure : public Startup, public ::testing::WithParamInterface<BadFile> {};

// The start-up stops at the first bad file, reports it in one message box
// and ends with status 1, with every surface freed and no window left.
TEST_P(StartupFailure, IsReportedAndEndsWithStatusOne) {
    const BadFile& bad = GetParam();
    if (bad.content[0] == '=')
        folder.Write(bad.file, folder.Read(bad.content.substr(1)));
    else
        folder.Write(bad.file, bad.content);
    DestroyWindows();  // RunGame makes its own
    EXPECT_EQ(RunGame(), 1);
    ASSERT_EQ(platform.Messages().size(), 1u);
    EXPECT_EQ(platform.Messages()[0].caption, "VORLAX");
    const std::string& text = platform.Messages()[0].text;
    EXPECT_NE(text.find(bad.file), std::string::npos) << text;
    EXPECT_NE(text.find(bad.mentions), std::string::npos) << text;
    EXPECT_EQ(heldAtMessage, bad.heldAtMessage);
    EXPECT_EQ(LiveSurfaceCount(), 0);
    EXPECT_TRUE(platform.OpenForms().empty());
}

std::string Records(int n, const std::string& third = "300") {
    std::string out;
    for (int i = 1; i <= n; ++i) {
        out += (i == 3 ? third : std::to_string(1000 - i)) + ",\"Pilot " + std::to_string(i) +
               "\"\r\n";
    }
    return out;
}

INSTANTIATE_TEST_SUITE_P(
    Files, StartupFailure,
    ::testing::Values(BadFile{"wrong size", "Enemy Mask 9.bmp", "=Enemy Ship 1.bmp",
                              "the picture is 53 x 32 pixels, but 17 x 15 are needed",
                              4 + 8 * 2 + 1},
                      // The table is read after every sprite was loaded.
                      BadFile{"bad score", "Hiscore.txt", Records(10, "3x"), "record 3", 26}));

}  // namespace
}  // namespace vorlax
