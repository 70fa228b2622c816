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
    ASSERT_EQ(LiveSurfaceCount(), 26);
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

// The start-up stops at the first bad file, reports it in one message box
// and ends with status 1, with every surface freed and no window left. Here
// the mask of enemy 9 has another picture's size (4 + 8 * 2 sprites loaded
// before it, and the picture of enemy 9), and the table, read once every
// sprite is loaded, a bad score.
TEST_F(Startup, ABadFileIsReportedAndEndsWithStatusOne) {
    std::string table;
    for (int i = 1; i <= 10; ++i)
        table += (i == 3 ? "3x" : std::to_string(1000 - i)) + ",\"P\"\r\n";
    const std::tuple<const char*, std::string, const char*, int> cases[] = {
        {"Enemy Mask 9.bmp", folder.Read("Enemy Ship 1.bmp"),
         "the picture is 53 x 32 pixels, but 17 x 15 are needed", 21},
        {"Hiscore.txt", table, "record 3", 26}};
    std::size_t messages = 0;
    for (const auto& [file, content, mentions, held] : cases) {
        const std::string good = folder.Read(file);
        folder.Write(file, content);
        DestroyWindows();  // RunGame makes its own
        EXPECT_EQ(RunGame(), 1);
        ASSERT_EQ(platform.Messages().size(), ++messages);
        const std::string& text = platform.Messages().back().text;
        EXPECT_EQ(platform.Messages().back().caption, "VORLAX");
        EXPECT_TRUE(text.find(file) != std::string::npos &&
                    text.find(mentions) != std::string::npos)
            << text;
        EXPECT_EQ(std::tuple(heldAtMessage, LiveSurfaceCount(), platform.OpenForms().size()),
                  std::tuple(held, 0, 0u));
        folder.Write(file, good);
    }
}

}  // namespace
}  // namespace vorlax
