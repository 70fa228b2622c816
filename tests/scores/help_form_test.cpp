// The help window: F1 shows it, Esc in its first key picture hides it, and
// the game's window always gets the focus back; the key pictures are the
// ones built into the game.
#include "scores/help_form.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "graphics/sprites.h"
#include "scores/key_pictures.h"
#include "scores/score_fixture.h"

namespace vorlax {
namespace {

class HelpWindowTest : public testing::ScoreTest {
  protected:
    HelpWindow& Help() { return HelpForm(); }
};

TEST_F(HelpWindowTest, F1ShowsThePageAndEscInItsFirstPictureAloneHidesIt) {
    Press(VK_F1);
    EXPECT_EQ(platform.ActiveForm(), &Help().form);
    EXPECT_TRUE(Help().Picture1->HasFocus());
    for (int key : {VK_F1, VK_F2, VK_F3, VK_RETURN, VK_SPACE}) Press(key);
    EXPECT_EQ(FrameLoopDepth(), 0);
    EXPECT_FALSE(Scores().form.Loaded());
    Help().Picture2->SetFocus();  // the player clicked another key picture
    Press(VK_ESCAPE);
    EXPECT_TRUE(Help().form.Visible());
    Help().Picture1->SetFocus();
    Press(VK_ESCAPE);
    EXPECT_FALSE(Help().form.Visible());
    EXPECT_TRUE(OnTitleScreen()) << "nothing else changes";

    // The game's window takes keys at once: F2 starts a game.
    platform.At(100200, [&] { G.GameRunning = False; });
    Press(VK_F2);
    EXPECT_TRUE(Display().Text7->Visible());
}

TEST_F(HelpWindowTest, ASecondF1LeavesOneWindowAndTheCloseBoxGivesTheGamesWindowTheFocus) {
    Press(VK_F1);
    Display().form.SetFocus();
    Press(VK_F1);
    EXPECT_EQ(platform.ActiveForm(), &Help().form);
    int helpWindows = 0;
    for (const Form* f : platform.OpenForms()) helpWindows += f->Name() == "HelpForm";
    EXPECT_EQ(helpWindows, 1);
    Help().Picture2->SetFocus();
    platform.QueueClose(Help().form);
    platform.DoEvents();
    EXPECT_FALSE(Help().form.Loaded());
    EXPECT_EQ(platform.ActiveForm(), &Display().form);
    // Shown again, it is a fresh window with the focus on its first picture.
    Press(VK_F1);
    EXPECT_TRUE(Help().Picture1->HasFocus());
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
        EXPECT_FALSE(Help().form.Visible());
        EXPECT_EQ(platform.ActiveForm(), &Display().form);
        platform.SetKeyHeld(VK_ESCAPE);  // a fresh Esc for the game's own window still quits
    });
    platform.At(100600, [&] { G.GameRunning = False; });  // only if the Esc was ignored
    EXPECT_THROW(Press(VK_F2), ProgramEnd);
    EXPECT_GT(framesAfterEsc, 100300) << "frames ran after the Esc for the help window";
}

TEST_F(HelpWindowTest, EscToLeaveTheTableDuringPlayReturnsToTheTitle) {
    platform.At(100100, [&] { platform.QueueKeyDown(VK_F3); });
    platform.At(100200, [&] {
        platform.SetKeyHeld(VK_ESCAPE);
        platform.QueueKeyDown(VK_ESCAPE);
    });
    platform.At(100260, [&] { platform.SetKeyHeld(VK_ESCAPE, false); });
    Press(VK_F2);  // returns when the loop does
    EXPECT_TRUE(OnTitleScreen());
    EXPECT_EQ(Saved(), Table());
}

TEST_F(HelpWindowTest, ThePageCarriesTheKeyPicturesAndItsRules) {
    const ArrowKey keys[] = {ArrowKey::Right, ArrowKey::Left, ArrowKey::Up, ArrowKey::Down};
    const int tops[] = {56, 104, 152, 208};
    for (int k = 0; k < 4; ++k) {
        const PictureBox& box = *Help().KeyPictures()[static_cast<std::size_t>(k)];
        EXPECT_EQ(box.Top(), tops[k]);
        const Surface& picture = KeyPicture(keys[k]);
        for (int y = 0; y < 33; ++y)
            for (int x = 0; x < 33; ++x)
                ASSERT_EQ(box.Point(x, y), x < 32 && y < 32 ? picture.Pixel(x, y) : 0u)
                    << "picture " << k + 1 << " at " << x << ", " << y;
    }
    const Surface& page = Help().form.Image();
    for (auto [x, y] : {std::pair{0, 40}, {152, 200}, {300, 368}, {10, 416}})
        EXPECT_EQ(page.Pixel(x, y), RGB(255, 255, 0)) << x << ", " << y;
}

// The pictures come from inside the executable, and they are exactly the
// committed artwork: a changed asset changes the game at the next build.
TEST(KeyPictures, BuiltInPicturesAreTheCommittedBitmaps) {
    const ArrowKey keys[] = {ArrowKey::Right, ArrowKey::Left, ArrowKey::Up, ArrowKey::Down};
    for (int k = 0; k < 4; ++k) {
        const std::string path = std::string(VORLAX_ASSET_DIR) + "/" + kKeyPictureFiles[k];
        std::ifstream in(path, std::ios::binary);
        const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
        const auto built = KeyPictureBitmap(keys[k]);
        EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), built.begin(), built.end())) << path;
        SurfaceHandle loaded = LoadSpriteDC(path, kKeyPictureSize, kKeyPictureSize);
        EXPECT_TRUE(KeyPicture(keys[k]) == *SurfaceOf(loaded)) << path;
        FreeSpriteDC(loaded);
    }
}

}  // namespace
}  // namespace vorlax
