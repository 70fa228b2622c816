// Start-up, its failures, and the ways out of the program.
#include "game/startup.h"

#include <gtest/gtest.h>

#include <cctype>

#include "game/windows.h"
#include "graphics/sprites.h"
#include "support/game_fixture.h"

namespace vorlax {
namespace {

class Startup : public testing::GameTest {
  protected:
    // Runs Main and notes how many surfaces were held when a message box appeared.
    void RunMain() {
        platform.OnMessage = [&](const HeadlessPlatform::Message&) {
            heldAtMessage = LiveSurfaceCount();
        };
        Main();
    }
    int heldAtMessage = -1;
};

TEST_F(Startup, WithEveryFileTheTitleScreenAppearsAndNothingIsReported) {
    RunMain();
    ASSERT_TRUE(platform.Messages().empty()) << platform.Messages()[0].text;
    EXPECT_FALSE(StartupFailed());
    ASSERT_EQ(LiveSurfaceCount(), 26);
    EXPECT_NE(G.ShipDC, 0);
    EXPECT_NE(G.EnemyMaskDC[11], 0);
    EXPECT_EQ(SurfaceOf(G.CarrierDC)->Width(), 1313);
    EXPECT_EQ(SurfaceOf(G.EnemySpriteDC[9])->Height(), 15);
    EXPECT_EQ(G.EnemyWidth[3], 107);
    EXPECT_EQ(G.ColWhite, RGB(255, 255, 255));
    EXPECT_TRUE(DisplayForm().form.Visible());
    EXPECT_TRUE(DisplayForm().form.IsActive());
    EXPECT_EQ(G.Energy, 500);  // the first resize ran the new-game reset
    // The delivered table, rank by rank.
    EXPECT_EQ(G.HighScores[1], 12000);
    EXPECT_EQ(G.HighNames[1], "Starhawk");
    EXPECT_EQ(G.HighScores[10], 500);
    EXPECT_EQ(G.HighNames[10], "Rookie");
}

TEST_F(Startup, AMissingMaskStopsLoadingAndFreesWhatWasLoaded) {
    folder.Remove("Enemy Mask 7.bmp");
    RunMain();
    ASSERT_EQ(platform.Messages().size(), 1u);
    EXPECT_EQ(platform.Messages()[0].caption, "VORLAX");
    EXPECT_NE(platform.Messages()[0].text.find("Enemy Mask 7.bmp"), std::string::npos);
    EXPECT_EQ(heldAtMessage, 17);  // 4 + six enemy pairs + enemy ship 7
    EXPECT_EQ(LiveSurfaceCount(), 0);
    EXPECT_TRUE(StartupFailed());
    EXPECT_FALSE(DisplayForm().form.Loaded());
    EXPECT_TRUE(platform.OpenForms().empty());
}

TEST_F(Startup, AFileThatIsNotABitmapIsAStartUpError) {
    folder.Write("Ship.bmp", "this is not a bitmap");
    RunMain();
    ASSERT_EQ(platform.Messages().size(), 1u);
    EXPECT_NE(platform.Messages()[0].text.find("Ship.bmp"), std::string::npos);
    EXPECT_EQ(heldAtMessage, 0);
    EXPECT_EQ(LiveSurfaceCount(), 0);
}

TEST_F(Startup, ABitmapOfTheWrongSizeIsAStartUpErrorNamingTheFileAndBothSizes) {
    // The first enemy saved under the name of the ninth enemy's mask.
    folder.Write("Enemy Mask 9.bmp", folder.Read("Enemy Ship 1.bmp"));
    RunMain();
    ASSERT_EQ(platform.Messages().size(), 1u);
    const std::string& text = platform.Messages()[0].text;
    EXPECT_NE(text.find("Enemy Mask 9.bmp"), std::string::npos) << text;
    EXPECT_NE(text.find("the picture is 53 x 32 pixels, but 17 x 15 are needed"), std::string::npos)
        << text;
    EXPECT_EQ(heldAtMessage, 4 + 8 * 2 + 1);
    EXPECT_EQ(LiveSurfaceCount(), 0);
    EXPECT_TRUE(StartupFailed());
}

struct BadTable {
    const char* what;
    std::string content;  // empty: the file is removed
    const char* mentions;
};

void PrintTo(const BadTable& table, std::ostream* os) {
    *os << table.what;
}

class StartupHighScores : public Startup, public ::testing::WithParamInterface<BadTable> {};

TEST_P(StartupHighScores, AnUnreadableTableIsReportedAfterEverySpriteWasLoaded) {
    const BadTable& bad = GetParam();
    if (bad.content.empty())
        folder.Remove("Hiscore.txt");
    else
        folder.Write("Hiscore.txt", bad.content);
    RunMain();
    ASSERT_EQ(platform.Messages().size(), 1u) << bad.what;
    const std::string& text = platform.Messages()[0].text;
    EXPECT_NE(text.find("Hiscore.txt"), std::string::npos) << text;
    EXPECT_NE(text.find(bad.mentions), std::string::npos) << text;
    EXPECT_EQ(heldAtMessage, 26);
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

INSTANTIATE_TEST_SUITE_P(Files, StartupHighScores,
                         ::testing::Values(BadTable{"missing", "", "Hiscore.txt"},
                                           BadTable{"bad score", Records(10, "3x"), "record 3"}),
                         [](const ::testing::TestParamInfo<BadTable>& info) {
                             std::string name = info.param.what;
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name;
                         });

TEST_F(Startup, ShutdownFreesEachSurfaceOnceAndClosesTheWindow) {
    RunMain();
    ASSERT_EQ(LiveSurfaceCount(), 26);
    EXPECT_THROW(Shutdown(), ProgramEnd);  // the unload handler ends the program
    EXPECT_EQ(LiveSurfaceCount(), 0);
    EXPECT_EQ(G.ShipDC, 0);
    EXPECT_EQ(G.EnemySpriteDC[11], 0);
    EXPECT_TRUE(platform.OpenForms().empty());
    EXPECT_EQ(G.GameRunning, False);
}

TEST_F(Startup, EscOnTheTitleScreenQuitsWithStatusZero) {
    platform.QueueKeyDown(VK_ESCAPE);
    DestroyWindows();  // RunGame makes its own
    EXPECT_EQ(RunGame(), 0);
    EXPECT_EQ(LiveSurfaceCount(), 0);
    EXPECT_TRUE(platform.OpenForms().empty());
}

TEST_F(Startup, TheCloseBoxQuitsWithStatusZero) {
    DestroyWindows();
    platform.At(100500, [&] { platform.QueueClose(DisplayForm().form); });
    EXPECT_EQ(RunGame(), 0);
    EXPECT_EQ(LiveSurfaceCount(), 0);
}

TEST_F(Startup, AFailedStartUpEndsWithStatusOne) {
    DestroyWindows();
    folder.Remove("FuelShip.bmp");
    EXPECT_EQ(RunGame(), 1);
    EXPECT_EQ(platform.Messages().size(), 1u);
    EXPECT_EQ(LiveSurfaceCount(), 0);
}

}  // namespace
}  // namespace vorlax
