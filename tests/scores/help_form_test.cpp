// The help window: F1 shows it, Esc in its first key picture hides it, and
// the game's window always gets the focus back.
#include "scores/help_form.h"

#include <gtest/gtest.h>

#include "scores/score_fixture.h"

namespace vorlax {
namespace {

using HelpWindowTest = testing::ScoreTest;

TEST_F(HelpWindowTest, F1ShowsThePageAndEscInItsFirstPictureAloneHidesIt) {
    Press(VK_F1);
    EXPECT_EQ(platform.ActiveForm(), &HelpForm().form);
    EXPECT_TRUE(HelpForm().Picture1->HasFocus());
    for (int key : {VK_F1, VK_F2, VK_F3, VK_RETURN, VK_SPACE}) Press(key);
    EXPECT_EQ(FrameLoopDepth(), 0);
    EXPECT_FALSE(Scores().form.Loaded());
    HelpForm().Picture2->SetFocus();  // the player clicked another key picture
    Press(VK_ESCAPE);
    EXPECT_TRUE(HelpForm().form.Visible());
    HelpForm().Picture1->SetFocus();
    Press(VK_ESCAPE);
    EXPECT_FALSE(HelpForm().form.Visible());
    EXPECT_TRUE(OnTitleScreen()) << "nothing else changes";
    EXPECT_EQ(platform.ActiveForm(), &Display().form);
}

TEST_F(HelpWindowTest, EscToHideItDuringPlayDoesNotEndTheGame) {
    // Esc is held for a few frames, as a player's press is; the game runs on.
    platform.At(100100, [&] { platform.QueueKeyDown(VK_F1); });
    platform.At(100200, [&] {
        platform.SetKeyHeld(VK_ESCAPE);
        platform.QueueKeyDown(VK_ESCAPE);
    });
    platform.At(100260, [&] { platform.SetKeyHeld(VK_ESCAPE, false); });
    Long framesAfterEsc = 0;
    platform.At(100400, [&] {
        framesAfterEsc = G.LastFrameTick;
        EXPECT_FALSE(HelpForm().form.Visible());
        EXPECT_EQ(platform.ActiveForm(), &Display().form);
        platform.SetKeyHeld(VK_ESCAPE);  // a fresh Esc for the game's own window still quits
    });
    platform.At(100600, [&] { G.GameRunning = False; });  // only if the Esc was ignored
    EXPECT_THROW(Press(VK_F2), ProgramEnd);
    EXPECT_GT(framesAfterEsc, 100300) << "frames ran after the Esc for the help window";
}

}  // namespace
}  // namespace vorlax
