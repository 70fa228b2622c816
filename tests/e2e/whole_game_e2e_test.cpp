// The real game played to its end on a private X server, by key presses as
// a player makes them: an enemy shot down for a few points, then the ship
// flown into enemies until the last one is lost (each loss an explosion and
// one life fewer in the strip), a name typed for the high-score table, and
// the title screen again; and an energy store run empty with the shield,
// which brings the carrier across the screen.
//
// With VORLAX_E2E_PICTURES naming a folder, the tests leave pictures there
// for the README: the high-score window during name entry, the carrier.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <thread>
#include <unordered_set>

#include "core/game_state.h"
#include "e2e/e2e_fixture.h"
#include "game/startup.h"
#include "raster/bitmap_file.h"
#include "raster/image_files.h"

namespace vorlax::e2e {
namespace {

namespace fs = std::filesystem;

constexpr Rect kScoreBox{320, 0, 113, 25};
constexpr Rect kLivesBox{744, 0, 41, 25};

// A table a first game's few points enter at rank 8.
constexpr const char* kLowTable =
    "900,\"Ace\"\r\n800,\"Blaze\"\r\n700,\"Comet\"\r\n600,\"Dash\"\r\n500,\"Echo\"\r\n"
    "400,\"Flare\"\r\n300,\"Glide\"\r\n5,\"Hatch\"\r\n3,\"Ion\"\r\n0,\"Jet\"\r\n";

std::uint32_t Packed(Rgb c) {
    return static_cast<std::uint32_t>(c.r) << 16 | static_cast<std::uint32_t>(c.g) << 8 | c.b;
}

// The colours of a sprite's picture, its black background left out.
std::unordered_set<std::uint32_t> Colours(const Image& sprite) {
    std::unordered_set<std::uint32_t> colours;
    for (int y = 0; y < sprite.Height(); ++y)
        for (int x = 0; x < sprite.Width(); ++x)
            if (sprite.At(x, y) != kBlack) colours.insert(Packed(sprite.At(x, y)));
    return colours;
}

// The ship's explosion: ten discs from red towards olive.
bool ExplosionColour(Rgb c) {
    for (int i = 1; i <= 10; ++i)
        if (c == Rgb{static_cast<std::uint8_t>(252 - 10 * i),
                     static_cast<std::uint8_t>(55 + 10 * i), 34})
            return true;
    return false;
}

// The score's digits: yellow text, anti-aliased onto the box's black.
int ScoreInk(const Image& image) {
    return image.CountIf(kScoreBox, [](Rgb c) { return c != kBlack; });
}
// The lives shown in the strip, pixel by pixel.
std::vector<std::uint32_t> Lives(const Image& image) {
    std::vector<std::uint32_t> pixels;
    for (int y = kLivesBox.y; y < kLivesBox.Bottom(); ++y)
        for (int x = kLivesBox.x; x < kLivesBox.Right(); ++x)
            pixels.push_back(Packed(image.At(x, y)));
    return pixels;
}

class E2EWholeGame : public GameOnXvfb {
  protected:
    void SetUp() override {
        GameOnXvfb::SetUp();
        const fs::path folder = Folder().ProgramFolder();
        std::unordered_set<std::uint32_t> enemies;
        for (int n = 1; n <= kEnemyTypes; ++n)
            enemies.merge(Colours(Image(
                ReadBitmapFile(folder / EnemyShipFile(n), kEnemyWidths[n], kEnemyHeights[n]))));
        // Colours of the ship and of the carrier that no enemy wears, and
        // where those of the ship start in its sprite.
        const Image ship(ReadBitmapFile(folder / "Ship.bmp", kShipWidth, kShipHeight));
        ship_ = Colours(ship);
        std::erase_if(ship_, [&](std::uint32_t c) { return enemies.count(c) != 0; });
        shipInSprite_ = ShipPixels(ship, ship.Bounds());
        carrier_ =
            Colours(Image(ReadBitmapFile(folder / "FuelShip.bmp", kCarrierWidth, kCarrierHeight)));
        std::erase_if(carrier_, [&](std::uint32_t c) {
            return enemies.count(c) != 0 || ship_.count(c) != 0;
        });
    }

    Rect ShipPixels(const Image& image, const Rect& area) const {
        return image.BoundingBox(area, [&](Rgb c) { return ship_.count(Packed(c)) != 0; });
    }
    // The ship's top-left corner on the screen; x = -1 when it is not seen.
    std::pair<int, int> ShipAt(const Image& image) const {
        const Rect r = ShipPixels(image, kPlayField);
        if (r.Empty()) return {-1, -1};
        return {r.x - shipInSprite_.x, r.y - shipInSprite_.y};
    }
    Rect Carrier(const Image& image) const {
        return image.BoundingBox(kPlayField, [&](Rgb c) { return carrier_.count(Packed(c)) != 0; });
    }

    void StartGame() {
        Folder().Remove("Hiscore.txt");
        std::ofstream(Folder().ProgramFolder() / "Hiscore.txt", std::ios::binary) << kLowTable;
        ASSERT_TRUE(StripShown(StartPlay()));
    }

    // Taps up or down until the ship's top lies within a few rows of `row`.
    void FlyToRow(int row) {
        for (int tap = 0; tap < 120; ++tap) {
            const int y = ShipAt(Capture()).second;
            if (y >= 0 && std::abs(y - row) <= 6) return;
            // Near the row, a tap about one frame long: a step of 5 or 10 rows.
            const milliseconds hold{std::abs(y - row) > 20 ? 25 : 12};
            ASSERT_TRUE(X().Tap(y < row ? "Down" : "Up", hold));
            std::this_thread::sleep_for(milliseconds{30});
        }
        FAIL() << "the ship never reached row " << row;
    }

    // Waits for the spawn shield to go, then flies right into what comes
    // along the ship's rows, until the ship explodes; the lives shown in the
    // strip are one fewer afterwards.
    void FlyIntoAnEnemy() {
        WaitForPicture([](const Image& im) { return im.Count(kPlayField, kShieldBlue) == 0; },
                       "the spawn shield gone");
        const auto before = Lives(Capture());
        ASSERT_TRUE(X().KeyDown("Right"));
        WaitForPicture(
            [](const Image& im) { return im.CountIf(kPlayField, ExplosionColour) > 200; },
            "the ship's explosion", milliseconds{40000});
        ASSERT_TRUE(X().KeyUp("Right"));
        WaitForPicture([&](const Image& im) { return Lives(im) != before; },
                       "one life fewer in the strip");
        lives_.push_back(Lives(Capture()));
    }

    void Keep(const Image& image, const std::string& name) const {
        const char* folder = std::getenv("VORLAX_E2E_PICTURES");
        if (folder == nullptr || *folder == '\0' || image.Empty()) return;
        const std::vector<std::uint8_t> png = EncodePng(image.Pixels());
        std::ofstream(fs::path(folder) / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(png.data()),
                   static_cast<std::streamsize>(png.size()));
    }

    std::unordered_set<std::uint32_t> ship_, carrier_;
    Rect shipInSprite_;
    std::vector<std::vector<std::uint32_t>> lives_;
};

TEST_F(E2EWholeGame, ShipsFlownIntoEnemiesEndTheGameAndTheNameEntersTheTable) {
    StartGame();
    const Image start = Capture();
    lives_.push_back(Lives(start));

    // The first wave's enemies fly with their tops at rows 154, 308 and 463.
    // Firing all the way, the ship goes to the left edge, where the enemies
    // reach it last, and down until its shots (11 rows below its top) meet
    // the middle one.
    const int inkAtZero = ScoreInk(start);
    ASSERT_TRUE(X().KeyDown("space"));
    ASSERT_TRUE(X().KeyDown("Left"));
    WaitForPicture([&](const Image& im) { return ShipAt(im).first == 0; }, "the ship at the left");
    ASSERT_TRUE(X().KeyUp("Left"));
    FlyToRow(312);
    WaitForPicture([&](const Image& im) { return ScoreInk(im) > inkAtZero + 10; },
                   "the score growing");
    ASSERT_TRUE(X().KeyUp("space"));
    ASSERT_FALSE(HasFailure());

    // Into the lower one, then (the next ship starting in the middle) the
    // upper one; the second wave's enemies come in with their tops at rows
    // 123, 247, 370 and 494.
    FlyToRow(463);
    FlyIntoAnEnemy();
    ASSERT_FALSE(HasFailure());
    FlyToRow(154);
    FlyIntoAnEnemy();
    ASSERT_FALSE(HasFailure());
    FlyToRow(247);
    WaitForPicture([](const Image& im) { return im.Count(kPlayField, kShieldBlue) == 0; },
                   "the spawn shield gone");
    ASSERT_TRUE(X().KeyDown("Right"));
    const unsigned long table = WaitForWindow("High Score", 462, 511, milliseconds{40000});
    ASSERT_TRUE(X().KeyUp("Right"));
    ASSERT_NE(table, 0u) << "no high-score window after the last ship";
    ASSERT_EQ(lives_.size(), 3u);
    EXPECT_FALSE(lives_[0] == lives_[1]);
    EXPECT_FALSE(lives_[1] == lives_[2]);
    EXPECT_FALSE(lives_[0] == lives_[2]);

    // The new row's name box has the keyboard: type, confirm, close.
    ASSERT_TRUE(FocusOn(table));
    ASSERT_TRUE(X().Run({"xdotool", "type", "--delay", "60", "Tester"}).Ok());
    // Rank 8's name box, yellow text on black, shows what was typed.
    const Rect rank8Name{232, 352, 209, 25};
    const Image entry = WaitForPicture(
        [&](const Image& im) {
            return im.CountIf(rank8Name,
                              [](Rgb c) { return c.r == c.g && c.r > 100 && c.b == 0; }) > 60;
        },
        "the typed name", kLimit, table);
    Keep(entry, "high-score-entry.png");
    ASSERT_TRUE(X().Tap("Return"));
    ASSERT_TRUE(X().Tap("Escape"));
    ASSERT_TRUE(WindowGone(table));

    // Rank 8 holds the new score and the name; the old 8th and 9th moved
    // down, the old 10th is gone; ten CR LF lines as ever.
    const fs::path file = Folder().ProgramFolder() / "Hiscore.txt";
    std::string saved;
    WaitUntil([&] { return (saved = ReadFile(file)) != kLowTable; }, kLimit);
    const std::string kept = std::string(kLowTable).substr(0, std::string(kLowTable).find("5,"));
    ASSERT_EQ(saved.substr(0, kept.size()), kept) << saved;
    const std::string rest = saved.substr(kept.size());
    const long score = std::strtol(rest.c_str(), nullptr, 10);
    EXPECT_GT(score, 5);
    EXPECT_EQ(score % 10, 0);
    EXPECT_EQ(rest, std::to_string(score) + ",\"Tester\"\r\n5,\"Hatch\"\r\n3,\"Ion\"\r\n");
    WaitForPicture(TitleDrawn, "the title screen again");
    QuitWithEscape();
}

TEST_F(E2EWholeGame, AnEnergyStoreRunEmptyWithTheShieldBringsTheCarrier) {
    StartGame();
    // The shield costs a unit a frame: 500 frames empty the store.
    ASSERT_TRUE(X().KeyDown("Control_L"));
    const Image arrived = WaitForPicture(
        [&](const Image& im) {
            return im.CountIf(kPlayField, [&](Rgb c) { return carrier_.count(Packed(c)) != 0; }) >
                   500;
        },
        "the carrier coming in at the right edge", milliseconds{30000});
    ASSERT_TRUE(X().KeyUp("Control_L"));
    const Rect first = Carrier(arrived);
    EXPECT_GE(first.Right(), kClientWidth - 2) << "carrier at " << first;
    EXPECT_GT(first.x, kClientWidth / 2) << "carrier at " << first;

    // Out of its way, below its hull, while it crosses from right to left.
    ASSERT_TRUE(X().KeyDown("Down"));
    const Image crossing = WaitForPicture(
        [&](const Image& im) { return Carrier(im).x < 250 && ShipAt(im).second >= 540; },
        "the carrier over half the window and the ship below it", milliseconds{30000});
    ASSERT_TRUE(X().KeyUp("Down"));
    EXPECT_EQ(crossing.CountIf(kPlayField, ExplosionColour), 0);
    Keep(crossing, "carrier.png");
    QuitWithEscape();
}

}  // namespace
}  // namespace vorlax::e2e
