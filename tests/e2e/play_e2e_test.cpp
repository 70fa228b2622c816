// The real game in play on a private X server, driven by real key events:
// F2 starts, the arrows fly, space fires and shoots enemies down, P pauses,
// Esc quits.
#include <gtest/gtest.h>

#include <sstream>
#include <thread>
#include <utility>

#include "e2e/e2e_fixture.h"

namespace vorlax::e2e {
namespace {

constexpr Rect kStrip{0, 0, kClientWidth, 25};
constexpr Rect kSeparator{0, 25, kClientWidth, 1};
constexpr Rect kPlayField{0, 26, kClientWidth, kClientHeight - 26};
// Where a new game puts the 47x32 ship: its centre at a quarter of the width,
// its bottom edge on the middle row.
constexpr Rect kShipAtStart{173, 276, 47, 32};
// The rows the ship flies in while it only moves sideways. The first wave's
// enemies fly at other heights (their tops at a quarter, a half and three
// quarters of the height), so only the ship, its shots and stars show here.
constexpr Rect kShipRows{0, 266, kClientWidth, 42};

// The columns of the strip's ten boxes (left, right exclusive): captions
// and values, from "Level:" to "Lives Left:" and its value at the right edge.
constexpr std::pair<int, int> kStripBoxes[] = {{0, 65},    {64, 105},  {112, 177}, {176, 217},
                                               {248, 313}, {320, 433}, {464, 553}, {552, 617},
                                               {632, 761}, {744, 785}};

// The first wave's three enemies come in from the right with their tops at
// rows 154, 308 and 463; these rows hold the first one.
constexpr Rect kFirstEnemyRows{0, 150, kClientWidth, 40};
// The value box of the score.
constexpr Rect kScoreBox{320, 0, 113, 25};
// The column the ship flies in while it only moves up and down.
constexpr Rect kShipColumn{150, 26, 100, kClientHeight - 26};

bool InStripBox(int x) {
    for (const auto& [left, right] : kStripBoxes)
        if (x >= left && x < right) return true;
    return false;
}

bool TitleDrawn(const Image& image) {
    return image.Width() == kClientWidth && image.Count({184, 48, 417, 105}, kYellow) > 1000;
}

bool StripShown(const Image& image) {
    return image.Width() == kClientWidth && image.Count(kSeparator, kWhite) == kClientWidth &&
           image.Count(kStrip, kYellow) > 200;
}

// The ship's own pixels: not the background, not a star (white), not a shot,
// not the spawn shield's outline (which goes away after two seconds).
bool ShipPixel(Rgb c) {
    return c != kBackground && c != kWhite && c != kShotRed && c != kShieldBlue;
}

Rect ShipBox(const Image& image, const Rect& area = kShipRows) {
    return image.BoundingBox(area, ShipPixel);
}

// Anything in the first enemy's rows but background and white stars.
Rect FirstEnemy(const Image& image) {
    return image.BoundingBox(kFirstEnemyRows,
                             [](Rgb c) { return c != kBackground && c != kWhite; });
}

// The score's digits: yellow text, anti-aliased onto the box's black.
int ScoreInk(const Image& image) {
    return image.CountIf(kScoreBox, [](Rgb c) { return c != kBlack; });
}

bool Within(const Rect& inner, const Rect& outer) {
    return !inner.Empty() && inner.x >= outer.x && inner.y >= outer.y &&
           inner.Right() <= outer.Right() && inner.Bottom() <= outer.Bottom();
}

class E2EPlay : public GameOnXvfb {
  protected:
    // Starts the game, waits for the title, presses F2 and waits for the strip.
    Image StartPlay() {
        Launch();
        if (!WaitForMainWindow()) {
            ADD_FAILURE() << "no 785x617 window titled VORLAX appeared";
            return {};
        }
        WaitForPicture(TitleDrawn, "the title screen");
        EXPECT_TRUE(X().Tap("F2"));
        return WaitForPicture(StripShown, "the head-up strip and its separator");
    }

    // Two pictures some 200 ms apart (a score of frames) that are identical.
    std::optional<Image> StillPicture() {
        std::optional<Image> still;
        WaitUntil(
            [&] {
                const Image a = Capture();
                std::this_thread::sleep_for(milliseconds{200});
                const Image b = Capture();
                if (a.Empty() || !(a == b)) return false;
                still = b;
                return true;
            },
            kScreenLimit, milliseconds{0});
        return still;
    }
};

TEST_F(E2EPlay, F2ShowsTheStripAndTheShip) {
    const Image image = StartPlay();
    ASSERT_TRUE(StripShown(image));

    // The strip is yellow text on the black boxes; between boxes the
    // background shows. Inside a box every pixel is black, yellow or yellow
    // blended onto black (red = green, no blue).
    int foreign = 0;
    std::ostringstream first;
    for (int y = kStrip.y; y < kStrip.Bottom(); ++y) {
        for (int x = kStrip.x; x < kStrip.Right(); ++x) {
            const Rgb c = image.At(x, y);
            const bool ok = InStripBox(x) ? c.r == c.g && c.b == 0 : c == kBackground;
            if (!ok && foreign++ < 5) first << " (" << x << ", " << y << ") " << c;
        }
    }
    EXPECT_EQ(foreign, 0) << "unexpected strip pixels:" << first.str();
    EXPECT_GT(image.Count(kStrip, kBlack), kStrip.w * kStrip.h / 2);

    // The title is gone; the play field is the background with white stars
    // and the ship where a new game puts it.
    EXPECT_EQ(image.Count(kPlayField, kYellow), 0);
    EXPECT_GT(image.Count(kPlayField, kBackground), kPlayField.w * kPlayField.h * 9 / 10);
    EXPECT_GT(image.Count(kPlayField, kWhite), 20) << "stars";
    const Rect ship = ShipBox(image);
    EXPECT_TRUE(Within(ship, kShipAtStart)) << "ship drawn at " << ship;
    EXPECT_GE(ship.w, 30);
    EXPECT_GE(ship.h, 16);

    QuitWithEscape();
}

TEST_F(E2EPlay, HoldingRightMovesTheShip) {
    const Image start = StartPlay();
    const Rect before = ShipBox(start);
    ASSERT_TRUE(Within(before, kShipAtStart)) << "ship drawn at " << before;

    ASSERT_TRUE(X().KeyDown("Right"));
    WaitForPicture([&](const Image& im) { return ShipBox(im).x >= before.x + 25; },
                   "the ship moving right");
    ASSERT_TRUE(X().KeyUp("Right"));

    // Once the key is up the ship stays where it is.
    Rect after;
    ASSERT_TRUE(WaitUntil(
        [&] {
            const Rect a = ShipBox(Capture());
            std::this_thread::sleep_for(milliseconds{100});
            after = ShipBox(Capture());
            return a == after;
        },
        kScreenLimit, milliseconds{0}))
        << "the ship kept moving after the key was released";
    EXPECT_GE(after.x, before.x + 25);
    EXPECT_EQ((after.x - before.x) % 5, 0) << "the ship moves 5 pixels a frame";
    EXPECT_EQ(after.y, before.y) << "only sideways";
    EXPECT_EQ(after.w, before.w);
    EXPECT_EQ(after.h, before.h);

    QuitWithEscape();
}

TEST_F(E2EPlay, HoldingSpaceFiresShots) {
    const Image start = StartPlay();
    const Rect ship = ShipBox(start);
    ASSERT_TRUE(Within(ship, kShipAtStart)) << "ship drawn at " << ship;
    EXPECT_EQ(start.Count(kPlayField, kShotRed), 0) << "no shot before space";

    ASSERT_TRUE(X().KeyDown("space"));
    const Image firing = WaitForPicture(
        [](const Image& im) { return im.Count(kPlayField, kShotRed) >= 9; }, "a red shot");
    ASSERT_TRUE(X().KeyUp("space"));

    // Shots leave from the ship's nose and fly right along its row.
    const Rect shots = firing.BoundingBox(kPlayField, [](Rgb c) { return c == kShotRed; });
    EXPECT_GE(shots.y, kShipAtStart.y + 8) << "shots at " << shots;
    EXPECT_LE(shots.Bottom(), kShipAtStart.y + 11 + 5) << "shots at " << shots;
    EXPECT_GT(shots.x, kShipAtStart.x + 30) << "shots at " << shots;

    // Without space no new shot comes, and the flying ones leave the window.
    WaitForPicture([](const Image& im) { return im.Count(kPlayField, kShotRed) == 0; },
                   "the shots gone past the right edge");

    QuitWithEscape();
}

TEST_F(E2EPlay, TheFirstEnemiesFlyInFromTheRight) {
    StartPlay();
    const Image arrived = WaitForPicture([](const Image& im) { return FirstEnemy(im).w >= 20; },
                                         "the first enemy at the right edge");
    const Rect first = FirstEnemy(arrived);
    EXPECT_GE(first.y, 154) << "enemy at " << first;
    EXPECT_LE(first.Bottom(), 154 + 32) << "enemy at " << first;
    EXPECT_GE(first.Right(), kClientWidth - 60) << "enemy at " << first;
    WaitForPicture([&](const Image& im) { return FirstEnemy(im).x <= first.x - 40; },
                   "the enemy flying left");
    QuitWithEscape();
}

TEST_F(E2EPlay, HoldingSpaceInAnEnemysRowShootsItDownAndScores) {
    const Image start = StartPlay();
    ASSERT_TRUE(Within(ShipBox(start), kShipAtStart));
    const int inkAtZero = ScoreInk(start);

    // The second enemy flies at rows 308..339; shots leave 11 rows below the
    // ship's top, so the ship goes down by 22 to 52 rows, in short taps.
    Rect ship = ShipBox(start, kShipColumn);
    for (int tap = 0; tap < 20 && ship.y < 276 + 22; ++tap) {
        ASSERT_TRUE(X().Tap("Down", milliseconds{30}));
        std::this_thread::sleep_for(milliseconds{50});
        ship = ShipBox(Capture(), kShipColumn);
    }
    ASSERT_GE(ship.y, 276 + 22) << "ship at " << ship;
    ASSERT_LE(ship.y, 276 + 52) << "ship at " << ship;

    ASSERT_TRUE(X().KeyDown("space"));
    const Image scored = WaitForPicture(
        [&](const Image& im) { return ScoreInk(im) > inkAtZero + 10; }, "the score growing");
    ASSERT_TRUE(X().KeyUp("space"));
    EXPECT_TRUE(StripShown(scored));
    QuitWithEscape();
}

TEST_F(E2EPlay, PHeldPausesAndAnotherKeyResumes) {
    const Image start = StartPlay();
    ASSERT_TRUE(StripShown(start));
    // Running: the stars move from frame to frame.
    WaitForPicture([&](const Image& im) { return !(im == start); }, "a later frame");

    // The game polls P once a frame: hold it for several frames.
    ASSERT_TRUE(X().KeyDown("p"));
    std::this_thread::sleep_for(kKeyHold);
    const std::optional<Image> paused = StillPicture();
    ASSERT_TRUE(X().KeyUp("p"));
    ASSERT_TRUE(paused) << "the picture never stood still after P";
    EXPECT_TRUE(StripShown(*paused)) << "the paused frame is drawn in full";

    // Still paused after P is released.
    std::this_thread::sleep_for(milliseconds{300});
    EXPECT_TRUE(Capture() == *paused) << "the game went on without a key";

    // Any other key resumes.
    ASSERT_TRUE(X().Tap("a"));
    WaitForPicture([&](const Image& im) { return !(im == *paused); },
                   "the game moving again after a key");

    QuitWithEscape();
}

}  // namespace
}  // namespace vorlax::e2e
