// The display window's layout, the title screen and the values a new game
// starts from.
#include "game/title_screen.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <set>
#include <tuple>
#include <vector>

#include "game/windows.h"
#include "support/play_fixture.h"

namespace vorlax {
namespace {

using TitleScreen = testing::PlayTest;  // the display window is shown: the title screen is up

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
    d.form.SetClientSize(800, 619);
    EXPECT_EQ(std::tuple(G.ShipX, G.ShipY), std::tuple(176, 278));  // 176.5 and 277.5, ties
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

// The generator is seeded from the clock, which reads differently at every
// launch, so each launch has a sky of its own. Two children of this process
// start from the same generator state, as two launches do.
TEST_F(TitleScreen, EachLaunchHasItsOwnSky) {
    auto launchedAt = [&](std::uint32_t tick) {
        int pipeEnds[2];
        EXPECT_EQ(pipe(pipeEnds), 0);
        const pid_t child = fork();
        if (child == 0) {
            platform.SetTick(tick);
            NewGameReset();
            std::vector<Long> rows;
            for (int i = 0; i <= 100; ++i) rows.push_back(G.Stars[i].Y);
            const auto bytes = static_cast<ssize_t>(rows.size() * sizeof(Long));
            _exit(write(pipeEnds[1], rows.data(), rows.size() * sizeof(Long)) == bytes ? 0 : 1);
        }
        close(pipeEnds[1]);
        std::vector<Long> rows(101);
        auto* at = reinterpret_cast<char*>(rows.data());
        const char* end = at + 101 * sizeof(Long);
        for (ssize_t n; at < end && (n = read(pipeEnds[0], at, end - at)) > 0;) at += n;
        close(pipeEnds[0]);
        waitpid(child, nullptr, 0);
        return rows;
    };
    EXPECT_EQ(launchedAt(5000), launchedAt(5000));
    EXPECT_NE(launchedAt(5000), launchedAt(5001));
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
