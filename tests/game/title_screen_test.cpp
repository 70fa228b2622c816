// The title screen and the values a new game starts from.
#include "game/title_screen.h"

#include <gtest/gtest.h>

#include "game/windows.h"
#include "support/play_fixture.h"

namespace vorlax {
namespace {

using TitleScreen = testing::PlayTest;  // the display window is shown: the title screen is up

TEST_F(TitleScreen, TheShipStartsAtAQuarterOfTheWidthWithTiesToEven) {
    EXPECT_EQ(G.ShipX, 173);  // 172.75
    EXPECT_EQ(G.ShipY, 276);  // 276.5, a tie
    DisplayForm().form.SetClientSize(800, 600);
    EXPECT_EQ(G.ShipX, 176);  // 176.5, a tie
    EXPECT_EQ(G.ShipY, 268);
}

TEST_F(TitleScreen, LabelsAreCentredForTheCurrentWidthAndKeepTheirTops) {
    DisplayWindow& d = DisplayForm();
    EXPECT_EQ(d.Label1->Left(), 184);  // 392.5 - 208.5
    EXPECT_EQ(d.Label2->Left(), 176);
    EXPECT_EQ(d.Label3->Left(), 112);
    EXPECT_EQ(d.Label4->Left(), 224);
    EXPECT_EQ(d.Label5->Left(), 192);
    EXPECT_EQ(d.Label6->Left(), 192);
    d.form.SetClientSize(1001, 617);
    EXPECT_EQ(d.Label1->Left(), 292);  // 500.5 - 208.5
    EXPECT_EQ(d.Label1->Top(), 48);
    EXPECT_EQ(d.Label6->Top(), 200);
    for (TextBox* box : d.StripBoxes()) EXPECT_EQ(box->Top(), 0);
}

TEST_F(TitleScreen, TheTitleStateShowsThePromptsAndHidesTheStrip) {
    DisplayWindow& d = DisplayForm();
    EXPECT_TRUE(d.Label1->Visible());
    EXPECT_TRUE(d.Label2->Visible());
    EXPECT_FALSE(d.Label3->Visible());
    EXPECT_TRUE(d.Label4->Visible());
    EXPECT_TRUE(d.Label5->Visible());
    EXPECT_TRUE(d.Label6->Visible());
    for (TextBox* box : d.StripBoxes()) EXPECT_FALSE(box->Visible());
    EXPECT_EQ(d.form.BackColor(), 65537);
    EXPECT_EQ(d.form.Image().Pixel(400, 300), 65537);
    EXPECT_EQ(d.form.Image().Pixel(0, 0), 65537);
}

TEST_F(TitleScreen, TheTaglineKeepsWhateverVisibilityItHad) {
    DisplayWindow& d = DisplayForm();
    d.Label6->SetVisible(false);  // a game hides it
    NewGameReset();
    EXPECT_FALSE(d.Label6->Visible());
    EXPECT_TRUE(d.Label1->Visible());
}

TEST_F(TitleScreen, EveryStarStartsWithinItsRanges) {
    for (int round = 0; round < 20; ++round) {
        platform.Advance(7);
        NewGameReset();
        for (int i = 0; i <= 100; ++i) {
            const Star& s = G.Stars[i];
            ASSERT_GE(s.X, 1);
            ASSERT_LE(s.X, 786);
            ASSERT_GE(s.Y, 26);
            ASSERT_LE(s.Y, 617 + 26);
            ASSERT_GE(s.Size, 1);
            ASSERT_LE(s.Size, 3);
            ASSERT_GE(s.Speed, 1);
            ASSERT_LE(s.Speed, 6);
            ASSERT_EQ(s.Colour, RGB(255, 255, 255));
        }
    }
}

TEST_F(TitleScreen, EachResetScattersANewStarField) {
    auto before = G.Stars;
    platform.Advance(1);
    NewGameReset();
    EXPECT_FALSE(before == G.Stars);
}

TEST_F(TitleScreen, ANewGameStartsFromItsValuesAndKeepsTheRest) {
    G.LastShotTick = 4242;
    G.LastFrameTick = 777;
    G.ShotActive[3] = True;
    G.ShotX[3] = 99;
    G.EnemyShotActive(2, 7) = True;
    G.Score = 1234;
    G.CarrierActive = True;
    G.CarrierX = 12.5;
    G.HighScores[4] = 31337;
    platform.SetTick(200000);
    NewGameReset();
    EXPECT_EQ(G.Level, 1);
    EXPECT_EQ(G.Wave, 1);
    EXPECT_EQ(G.WaveSetup, True);
    EXPECT_EQ(G.EnemyCount, 3);
    EXPECT_EQ(LivesLeft(G), 3);
    EXPECT_EQ(G.ShieldOn, True);
    EXPECT_EQ(G.SpawnTick, 200000);
    EXPECT_EQ(G.FrameInterval, 10);
    EXPECT_EQ(G.Score, 0);
    EXPECT_EQ(G.Energy, 500);
    EXPECT_EQ(G.CarrierActive, False);
    EXPECT_EQ(G.CarrierSpeed, 0.75);
    EXPECT_EQ(G.ShotActive[3], False);
    EXPECT_EQ(G.EnemyShotActive(2, 7), False);
    EXPECT_EQ(G.ShotColour, G.ColRed);
    EXPECT_EQ(G.EnemyShotColour, G.ColYellow);
    EXPECT_EQ(G.GameRunning, False);
    // Kept as they were.
    EXPECT_EQ(G.LastShotTick, 4242);
    EXPECT_EQ(G.LastFrameTick, 777);
    EXPECT_EQ(G.ShotX[3], 99);
    EXPECT_EQ(G.CarrierX, 12.5);
    EXPECT_EQ(G.HighScores[4], 31337);
}

TEST_F(TitleScreen, TheStripLayoutSpansTheDesignedWidth) {
    DisplayWindow& d = DisplayForm();
    EXPECT_EQ(d.form.Caption(), "VORLAX");
    EXPECT_EQ(d.form.ClientWidth(), 785);
    EXPECT_EQ(d.form.ClientHeight(), 617);
    EXPECT_EQ(d.form.GetFillStyle(), FillStyle::Solid);
    int right = 0;
    for (TextBox* box : d.StripBoxes()) {
        EXPECT_EQ(box->Height(), 25);
        EXPECT_FALSE(box->TabStop());
        right = std::max(right, box->Left() + box->Width());
    }
    EXPECT_EQ(right, 785);
    EXPECT_EQ(d.Text4->Left(), 0);
    EXPECT_EQ(d.Text2->Left(), 744);
    EXPECT_EQ(d.Text4->Alignment(), Align::Left);
    EXPECT_EQ(d.Text7->Alignment(), Align::Centre);
    EXPECT_EQ(d.Text9->Text(), "1000");
    EXPECT_EQ(d.Label6->Caption(),
              "In Space No One Can Hear You Scream!  Or Hear Anything For That Matter.");
    EXPECT_EQ(d.Label6->ForeColor(), RGB(128, 255, 128));
    EXPECT_EQ(d.CollisionPict->Left(), 640);
    EXPECT_EQ(d.CollisionPict->Width(), 129);
}

}  // namespace
}  // namespace vorlax
