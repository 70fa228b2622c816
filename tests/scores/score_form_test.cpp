// The high-score window as the player uses it: typing a name, confirming it
// with Enter, leaving with Esc or the close box, and the table written to
// Hiscore.txt on the way out.
#include "scores/score_form.h"

#include <gtest/gtest.h>

#include "scores/score_fixture.h"

namespace vorlax {
namespace {

class ScoreWindowTest : public testing::ScoreTest {
  protected:
    // A game ends with 750 (rank 4); the player types `name` into its box.
    void EntryTyped(const std::string& name) {
        EndGameWith(750);
        ASSERT_EQ(G.NewEntryRank, 4);
        Type(name);
    }
    // The table after an entry of 750 at rank 4 named `name`.
    static HighScoreTable With750At4(const std::string& name) {
        HighScoreTable t;
        const Long scores[] = {1000, 900, 800, 750, 700, 600, 500, 400, 300, 200};
        const char* names[] = {"N1", "N2", "N3", "", "N4", "N5", "N6", "N7", "N8", "N9"};
        for (std::size_t i = 0; i < t.size(); ++i) t[i] = {scores[i], names[i]};
        t[3].name = name;
        return t;
    }
};

TEST_F(ScoreWindowTest, OnlyEnterInTheEntryBoxStoresTheNameExactlyAsTypedAndLocksTheBox) {
    const std::string name = " Zo\xC3\xAB, \"Ace\" ";
    EntryTyped(name);
    const HighScoreTable before = Table();
    for (int key : {VK_ESCAPE, VK_F1, VK_F2, VK_F3, VK_SPACE, VK_P}) Press(key);
    for (int index : {0, 2, 4, 9}) NameTextKeyDown(index, VK_RETURN);  // the handler checks the row
    EXPECT_EQ(Table(), before);
    EXPECT_EQ(G.HighNames[4], "N3") << "not stored before Enter";
    EXPECT_TRUE(Name(4).HasFocus());
    EXPECT_TRUE(Scores().form.Visible()) << "Esc in the name box does not close the window";
    EXPECT_FALSE(HelpForm().form.Loaded());
    EXPECT_EQ(FrameLoopDepth(), 0);
    Press(VK_RETURN);
    EXPECT_EQ(G.HighNames[4], name);
    EXPECT_FALSE(Name(4).Enabled());
    EXPECT_TRUE(Scores().Picture1->HasFocus());
    // Nothing more reaches the box or the table.
    Type("x");
    Press(VK_BACK);
    Press(VK_RETURN);
    EXPECT_EQ(Name(4).Text(), name);
    EXPECT_EQ(G.HighNames[4], name);
    EXPECT_TRUE(Scores().form.Visible());
}

TEST_F(ScoreWindowTest, AFinishedGameIsNotPlayedAgain) {
    // F2 on the game-over screen while the table is open does nothing.
    EntryTyped("first");
    Display().form.SetFocus();
    HighScoreTable entered = Table();
    Press(VK_F2);
    EXPECT_EQ(G.NewEntryRank, 4);
    // A pause left over from the last frames does not bring it back either.
    G.Paused = True;
    Press(int{'A'});
    EXPECT_EQ(Table(), entered);
    // Once the table is closed (its close box: no title screen), F2 starts a
    // new game from fresh values.
    platform.QueueClose(Scores().form);
    platform.DoEvents();
    entered[3].name = "first";  // the close box keeps the name as typed
    Display().form.SetFocus();
    int frames = 0;
    platform.EveryYield([&] {
        if (G.GameRunning == True && ++frames >= 3) G.GameRunning = False;
    });
    Press(VK_F2);
    platform.EveryYield(nullptr);
    EXPECT_EQ(Table(), entered);
    EXPECT_EQ(G.Score, 0);
    EXPECT_GE(frames, 3) << "the new game ran";
}

TEST_F(ScoreWindowTest, EscInThePictureSavesTheTableAndReturnsToTheTitleScreen) {
    EntryTyped("");  // an empty name is stored, and saved as two quotes
    Press(VK_RETURN);
    folder.Remove("Hiscore.txt");
    for (int key : {VK_RETURN, VK_F2, VK_SPACE, int{'A'}})
        Press(key);  // nothing in the picture but Esc
    EXPECT_TRUE(Scores().form.Visible());
    Press(VK_ESCAPE);
    EXPECT_EQ(SavedFile(), FormatHighScores(With750At4("")));
    EXPECT_FALSE(Scores().form.Loaded());
    EXPECT_TRUE(OnTitleScreen());
    EXPECT_EQ(G.NewEntryRank, 0);
    EXPECT_EQ(platform.ActiveForm(), &Display().form);
    EXPECT_TRUE(platform.Messages().empty());
}

TEST_F(ScoreWindowTest, TheCloseBoxSavesButLeavesTheGameOverScreenWithTheFocus) {
    EntryTyped("Pat");
    Press(VK_RETURN);
    platform.QueueClose(Scores().form);
    platform.DoEvents();
    EXPECT_EQ(Saved(), With750At4("Pat"));
    EXPECT_FALSE(OnTitleScreen()) << "no new-game reset";
    // The display window has the focus, so the command keys work at once.
    Press(VK_F1);
    EXPECT_TRUE(HelpForm().form.Visible());
}

}  // namespace
}  // namespace vorlax
