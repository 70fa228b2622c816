// The display window's layout, the title screen and the values a new game
// starts from.
#include "game/title_screen.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>

#include "game/windows.h"
#include "support/play_fixture.h"

namespace vorlax {
namespace {

using TitleScreen = testing::PlayTest;  // the display window is shown: the title screen is up

TEST_F(TitleScreen, TheDisplayWindowHasItsDesignedLayout) {
    DisplayWindow& d = DisplayForm();
    EXPECT_EQ(d.form.Caption(), "VORLAX");
    EXPECT_EQ(d.form.ClientWidth(), 785);
    EXPECT_EQ(d.form.ClientHeight(), 617);
    EXPECT_EQ(d.form.GetFillStyle(), FillStyle::Solid);

    // The head-up strip, left to right: yellow bold text on black along the top edge.
    struct Box {
        TextBox* box;
        const char* text;
        int left, width;
        Align align;
    };
    const Box strip[] = {
        {d.Text4, "Level:", 0, 65, Align::Left},         {d.Text3, "1", 64, 41, Align::Centre},
        {d.Text5, "Wave:", 112, 65, Align::Left},        {d.Text6, "1", 176, 41, Align::Centre},
        {d.Text8, "Score:", 248, 65, Align::Left},       {d.Text7, "0", 320, 113, Align::Centre},
        {d.Text10, "Energy:", 464, 89, Align::Left},     {d.Text9, "1000", 552, 65, Align::Centre},
        {d.Text1, "Lives Left:", 632, 129, Align::Left}, {d.Text2, "3", 744, 41, Align::Centre},
    };
    for (const Box& b : strip) {
        SCOPED_TRACE(b.box->Name());
        EXPECT_EQ(std::tuple(b.box->Text(), b.box->Left(), b.box->Top(), b.box->Width(),
                             b.box->Height(), b.box->Alignment() == b.align),
                  std::tuple(b.text, b.left, 0, b.width, 25, true));
        EXPECT_EQ(b.box->GetFont(), (Font{15.75, true}));
        EXPECT_EQ(std::tuple(b.box->ForeColor(), b.box->BackColor(), b.box->TabStop()),
                  std::tuple(RGB(255, 255, 0), RGB(0, 0, 0), false));
    }

    // The title labels, centred on transparent ground; their lefts are the
    // new-game reset's, centred in the width.
    struct Title {
        Label* label;
        const char* caption;
        int left, top, width, height;
        double points;
        Colour colour;
    };
    const Colour yellow = RGB(255, 255, 0);
    const Title titles[] = {
        {d.Label1, "VORLAX", 184, 48, 417, 105, 72, yellow},
        {d.Label6, "In Space No One Can Hear You Scream!  Or Hear Anything For That Matter.", 192,
         200, 401, 121, 24, RGB(128, 255, 128)},
        {d.Label2, "Press F1 - Help - Controls", 176, 376, 433, 41, 24, yellow},
        {d.Label4, "Press F2 - New Game", 224, 416, 337, 57, 24, yellow},
        {d.Label5, "Press F3 - High Scores", 192, 456, 401, 57, 24, yellow},
        {d.Label3, "Press Shift for Energy Carrier", 112, 512, 561, 41, 24, yellow},
    };
    for (const Title& t : titles) {
        SCOPED_TRACE(t.label->Name());
        EXPECT_EQ(std::tuple(t.label->Caption(), t.label->Left(), t.label->Top(), t.label->Width(),
                             t.label->Height(), t.label->ForeColor()),
                  std::tuple(t.caption, t.left, t.top, t.width, t.height, t.colour));
        EXPECT_EQ(t.label->GetFont(), (Font{t.points, true}));
        EXPECT_EQ(std::tuple(t.label->Transparent(), t.label->Alignment() == Align::Centre,
                             t.label->WordWrap()),
                  std::tuple(true, true, t.label == d.Label6));
    }
    const PictureBox& pict = *d.CollisionPict;
    EXPECT_EQ(std::tuple(pict.Left(), pict.Top(), pict.Width(), pict.Height()),
              std::tuple(640, 40, 129, 89));
}

// A resize centres the labels for the new width (halves to even) and keeps
// every top; the ship's centre stands at a quarter of the width.
TEST_F(TitleScreen, AResizeCentresTheLabelsAndTheShipForTheNewSize) {
    EXPECT_EQ(std::tuple(G.ShipX, G.ShipY), std::tuple(173, 276));  // 172.75, 276.5 a tie
    DisplayWindow& d = DisplayForm();
    d.form.SetClientSize(1000, 617);
    // 500 - 208.5 and 500 - 216.5
    EXPECT_EQ(std::tuple(d.Label1->Left(), d.Label2->Left(), d.Label1->Top(), d.Label6->Top()),
              std::tuple(292, 284, 48, 200));
    for (TextBox* box : d.StripBoxes()) EXPECT_EQ(box->Top(), 0);
    d.form.SetClientSize(800, 600);
    EXPECT_EQ(std::tuple(G.ShipX, G.ShipY), std::tuple(176, 268));  // 176.5, a tie
}

TEST_F(TitleScreen, TheTitleStateShowsThePromptsHidesTheStripAndLeavesTheTagline) {
    DisplayWindow& d = DisplayForm();
    EXPECT_TRUE(d.Label6->Visible());  // on the first title screen
    // As after a game: F2 hid every label and showed the strip; another
    // window had the focus.
    for (Label* label : d.TitleLabels()) label->SetVisible(false);
    for (TextBox* box : d.StripBoxes()) box->SetVisible(true);
    d.form.DrawLine(0, 300, 700, 300, RGB(255, 255, 255));
    ScoreForm().form.Show();
    ASSERT_FALSE(d.form.IsActive());
    NewGameReset();
    EXPECT_EQ(std::tuple(d.Label1->Visible(), d.Label2->Visible(), d.Label3->Visible(),
                         d.Label4->Visible(), d.Label5->Visible(), d.Label6->Visible()),
              std::tuple(true, true, false, true, true, false));
    for (TextBox* box : d.StripBoxes()) EXPECT_FALSE(box->Visible());
    EXPECT_EQ(std::tuple(d.form.BackColor(), d.form.Image().Pixel(400, 300)),
              std::tuple(65537, 65537));
    EXPECT_EQ(testing::Extent(d.form.Image(), 65537), (std::array<int, 4>{0, 0, 785, 617}));
    EXPECT_TRUE(d.form.IsActive());
}

TEST_F(TitleScreen, EveryResetScattersANewStarFieldWithinItsRanges) {
    std::set<Long> sizes, speeds;
    Long lowest = 10000;
    for (int round = 0; round < 100; ++round) {
        const auto before = G.Stars;
        platform.Advance(7);
        NewGameReset();
        ASSERT_FALSE(before == G.Stars);
        for (int i = 0; i <= 100; ++i) {
            const Star& s = G.Stars[i];
            ASSERT_TRUE(s.X >= 1 && s.X <= 786 && s.Y >= 26 && s.Y <= 617 + 26)
                << s.X << ", " << s.Y;
            ASSERT_EQ(s.Colour, RGB(255, 255, 255));
            lowest = std::min(lowest, s.Y);
            sizes.insert(s.Size);
            speeds.insert(s.Speed);
        }
    }
    EXPECT_EQ(lowest, 26);
    EXPECT_EQ(sizes, (std::set<Long>{1, 2, 3}));
    EXPECT_EQ(speeds, (std::set<Long>{1, 2, 3, 4, 5, 6}));
}

TEST_F(TitleScreen, ANewGameStartsFromItsValuesAndKeepsTheRest) {
    auto reset = [] {
        return std::tie(G.Level, G.Wave, G.WaveSetup, G.EnemyCount, G.CurrentShip, G.ShipsEarned,
                        G.ShipStepX, G.ShipStepY, G.ShieldOn, G.SpawnTick, G.FrameInterval, G.Score,
                        G.BonusPoints, G.NewEntryRank, G.CarrierCalled, G.CarrierActive,
                        G.CarrierSpeed, G.Energy, G.Paused, G.GameRunning);
    };
    auto kept = [] {
        return std::tie(G.LastShotTick, G.LastFrameTick, G.ShotX[3], G.CarrierX, G.HighScores[4],
                        G.WaveEndTick);
    };
    // What a game may leave behind, and what a new game keeps.
    reset() = std::tuple(4, 9, False, 10, 3, 5, 1, 1, False, 7, 0, 1234, 567, 4, True, True, 0.0,
                         17, True, True);
    kept() = std::tuple(4242, 777, 99, 12.5, 31337, 55);
    G.ShotColour = G.EnemyShotColour = 0;
    for (int s = 1; s <= 5; ++s) G.ShotActive[s] = True;
    for (int e = 1; e <= 3; ++e)
        for (int s = 1; s <= 10; ++s) G.EnemyShotActive(e, s) = True;
    platform.SetTick(200000);
    NewGameReset();
    EXPECT_EQ(reset(), std::tuple(1, 1, True, 3, 1, 3, 5, 5, True, 200000, 10, 0, 0, 0, False,
                                  False, 0.75, 500, False, False));
    EXPECT_EQ(kept(), std::tuple(4242, 777, 99, 12.5, 31337, 55));
    for (int s = 1; s <= 5; ++s) EXPECT_EQ(G.ShotActive[s], False);
    for (int e = 1; e <= 3; ++e)
        for (int s = 1; s <= 10; ++s) EXPECT_EQ(G.EnemyShotActive(e, s), False);
    EXPECT_EQ(G.ShotColour, G.ColRed);
    EXPECT_EQ(G.EnemyShotColour, G.ColYellow);
}

}  // namespace
}  // namespace vorlax
