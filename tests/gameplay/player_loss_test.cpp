// Losing a ship: the explosion as the player sees it swell, and the next ship.
#include "gameplay/player_loss.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "support/play_fixture.h"

namespace vorlax {
namespace {

// Keeps a copy of every picture of the display window that is shown.
class Recorder : public HeadlessPlatform {
  public:
    void PresentForm(Form& form) override {
        shown.push_back(form.Image());
        shownAt.push_back(GetTickCount());
        HeadlessPlatform::PresentForm(form);
    }
    std::vector<Surface> shown;
    std::vector<std::uint32_t> shownAt;
};

class PlayerLoss : public testing::PlayTest {
  protected:
    // Loses the ship with the recorder as the platform.
    void Lose() {
        recorder.SetTick(platform.GetTickCount());
        SetCurrentPlatform(&recorder);
        LoseShip();
        SetCurrentPlatform(&platform);
    }
    Recorder recorder;
};

TEST_F(PlayerLoss, TenEllipsesSwellMostlyDownwardsEachShownFiftyMillisecondsApart) {
    ShipAt(300, 101);  // an odd row: the tops round the half pixels of the whole sum to even
    const std::uint32_t start = platform.GetTickCount();
    Lose();
    ASSERT_EQ(recorder.shown.size(), 10u);
    const int tops[10] = {68, 68, 68, 67, 66, 66, 66, 65, 64, 64};
    for (int i = 1; i <= 10; ++i) {
        SCOPED_TRACE("step " + std::to_string(i));
        const Surface& picture = recorder.shown[static_cast<std::size_t>(i - 1)];
        const Colour colour = RGB(252 - 10 * i, 55 + 10 * i, 34);
        const std::array<int, 4> expected{268 - 2 * i, tops[i - 1], 379 + 2 * i, 165 + 2 * i};
        EXPECT_EQ(testing::Extent(picture, colour), expected);
        // Filled in its own colour, drawn over the ones before it.
        EXPECT_EQ(picture.Pixel(323, 140), colour);
        EXPECT_EQ(recorder.shownAt[static_cast<std::size_t>(i - 1)], start + 50u * i);
    }
}

TEST_F(PlayerLoss, TheNextShipStandsAtAQuarterOfTheWidthShieldedAndCharged) {
    ShipAt(600, 400);
    auto reset = [] {
        return std::tie(G.GameRunning, G.ShieldOn, G.Energy, G.CarrierCalled, G.CarrierActive);
    };
    auto kept = [] {
        return std::tie(G.CurrentShip, G.ShipStepX, G.Score, G.ShotActive[2], G.EnemyX[4]);
    };
    reset() = std::tuple(False, False, 3, True, True);
    kept() = std::tuple(2, 1, 770, True, 123);
    Lose();
    EXPECT_EQ(G.ShipX, 173);  // 172.75
    EXPECT_EQ(G.ShipY, 276);  // 276.5, a tie
    EXPECT_EQ(reset(), std::tuple(True, True, 500, False, False));
    EXPECT_EQ(G.SpawnTick, static_cast<Long>(recorder.GetTickCount()));
    // Counting the loss is the caller's part; the rest of the game goes on.
    EXPECT_EQ(kept(), std::tuple(2, 1, 770, True, 123));

    Display().form.SetClientSize(800, 600);
    Lose();
    EXPECT_EQ(G.ShipX, 176);  // 176.5, a tie
    EXPECT_EQ(G.ShipY, 268);
}

}  // namespace
}  // namespace vorlax
