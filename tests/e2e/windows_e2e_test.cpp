// The help and high-score windows of the real game on a private X server:
// F1 shows the help page and Esc (or its close box) hides it with the keys
// going back to the game at once; F3 shows the table and Esc writes it back
// and returns to the title screen; the table is saved when the program is
// terminated with the window open.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <array>
#include <filesystem>
#include <string>
#include <thread>

#include "e2e/e2e_fixture.h"
#include "scores/key_pictures.h"

namespace vorlax::e2e {
namespace {

namespace fs = std::filesystem;

constexpr Rect kTitle{184, 48, 417, 105};
constexpr Rect kStrip{0, 0, kClientWidth, 25};
constexpr Rect kSeparator{0, 25, kClientWidth, 1};

// The help window's controls in its client area.
constexpr int kHelpWidth = 473, kHelpHeight = 466;
constexpr std::array<int, 4> kKeyPictureTops{56, 104, 152, 208};  // right, left, up, down
constexpr std::array<Rect, 11> kHelpTexts{{
    {56, 8, 313, 41},     // "VORLAX"
    {176, 64, 225, 41},   // "Move Ship Forward"
    {176, 112, 225, 41},  // "Move Ship Backward"
    {176, 160, 225, 41},  // "Move Ship Up"
    {176, 208, 225, 41},  // "Move Ship Down"
    {40, 256, 89, 41},    // "SPACE"
    {176, 256, 289, 41},  // what space does
    {40, 288, 89, 41},    // "CTRL"
    {176, 288, 273, 41},  // what Ctrl does
    {40, 328, 89, 41},    // "SHIFT"
    {64, 432, 313, 25},   // "Press ESC to Exit Help"
}};

// The high-score window's rows: the score label and the name box of rank r.
constexpr int kScoreWidth = 462, kScoreHeight = 511;
Rect ScoreCell(int rank) {
    return {64, 72 + 40 * (rank - 1), 169, 33};
}
Rect NameCell(int rank) {
    return {232, 72 + 40 * (rank - 1), 209, 25};
}

bool TitleDrawn(const Image& image) {
    return image.Width() == kClientWidth && image.Count(kTitle, kYellow) > 1000;
}
bool StripShown(const Image& image) {
    return image.Width() == kClientWidth && image.Count(kSeparator, kWhite) == kClientWidth &&
           image.Count(kStrip, kYellow) > 200;
}

// Yellow text, anti-aliased onto black: the pure colour and its blends.
bool Yellowish(Rgb c) {
    return c.r == c.g && c.r > 100 && c.b == 0;
}

bool KeyPictureAt(const Image& image, int top, ArrowKey key) {
    const Surface& picture = KeyPicture(key);
    for (int y = 0; y < kKeyPictureSize; ++y)
        for (int x = 0; x < kKeyPictureSize; ++x) {
            const Colour c = picture.Pixel(x, y);
            const Rgb want{static_cast<std::uint8_t>(RedOf(c)),
                           static_cast<std::uint8_t>(GreenOf(c)),
                           static_cast<std::uint8_t>(BlueOf(c))};
            if (image.At(40 + x, top + y) != want) return false;
        }
    return true;
}

bool HelpPageDrawn(const Image& image) {
    if (image.Width() != kHelpWidth || image.Height() != kHelpHeight) return false;
    const ArrowKey keys[] = {ArrowKey::Right, ArrowKey::Left, ArrowKey::Up, ArrowKey::Down};
    for (int k = 0; k < 4; ++k)
        if (!KeyPictureAt(image, kKeyPictureTops[static_cast<std::size_t>(k)], keys[k]))
            return false;
    for (const Rect& r : kHelpTexts)
        if (image.CountIf(r, Yellowish) < 40) return false;
    return true;
}

bool TableDrawn(const Image& image) {
    if (image.Width() != kScoreWidth || image.Height() != kScoreHeight) return false;
    for (int r = 1; r <= 10; ++r)
        if (image.CountIf(ScoreCell(r), Yellowish) < 30 ||
            image.CountIf(NameCell(r), Yellowish) < 30)
            return false;
    return true;
}

class E2EWindows : public GameOnXvfb {
  protected:
    // Starts the game and waits for its title screen.
    void Start() {
        Launch();
        ASSERT_TRUE(WaitForMainWindow()) << "no 785x617 window titled VORLAX appeared";
        WaitForPicture(TitleDrawn, "the title screen");
    }
    // The viewable window titled `title` of the given size, 0 if none comes.
    unsigned long WaitForWindow(const std::string& title, int width, int height) {
        unsigned long id = 0;
        WaitUntil(
            [&] {
                for (const WindowInfo& w : X().WindowsTitled(title))
                    if (w.width == width && w.height == height && X().IsViewable(w.id)) id = w.id;
                return id != 0;
            },
            kScreenLimit, milliseconds{50});
        return id;
    }
    bool WindowGone(unsigned long id) {
        return WaitUntil([&] { return !X().IsViewable(id); }, kScreenLimit, milliseconds{50});
    }
    bool FocusOn(unsigned long id) {
        return WaitUntil([&] { return X().FocusedWindow() == id; }, kScreenLimit, milliseconds{50});
    }
    // Captures `id` until `done` holds; the last picture, with a failure noted, if never.
    Image WaitForPictureOf(unsigned long id, const std::function<bool(const Image&)>& done,
                           const std::string& what) {
        Image last;
        const bool seen = WaitUntil(
            [&] {
                std::optional<Image> image = X().Capture(id);
                if (!image) return false;
                last = std::move(*image);
                return done(last);
            },
            kScreenLimit, milliseconds{30});
        if (!seen) ADD_FAILURE() << "never saw " << what;
        return last;
    }
    fs::path HighScoreFile() const { return Folder().ProgramFolder() / "Hiscore.txt"; }
    static ino_t Inode(const fs::path& path) {
        struct stat st {};
        return stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
    }
};

TEST_F(E2EWindows, F1ShowsTheHelpPageEscHidesItAndF2StartsAGameAtOnce) {
    // The key pictures are part of the game, not files beside it.
    for (const char* key : {"Key Right.bmp", "Key Left.bmp", "Key Up.bmp", "Key Down.bmp"})
        fs::remove(Folder().ProgramFolder() / key);
    Start();
    ASSERT_TRUE(X().Tap("F1"));
    const unsigned long help = WaitForWindow("Help / Controls", kHelpWidth, kHelpHeight);
    ASSERT_NE(help, 0u) << "no help window appeared";
    EXPECT_TRUE(FocusOn(help)) << "the help window takes the keyboard";
    WaitForPictureOf(help, HelpPageDrawn, "the help page with its four key pictures and texts");

    ASSERT_TRUE(X().Tap("Escape"));
    EXPECT_TRUE(WindowGone(help)) << "Esc did not hide the help window";
    EXPECT_TRUE(FocusOn(MainWindow())) << "the game's window did not get the focus back";
    ASSERT_TRUE(X().Tap("F2"));
    WaitForPicture(StripShown, "a game started by F2");
    EXPECT_TRUE(Game().Running());
    QuitWithEscape();
}

TEST_F(E2EWindows, EscForTheHelpWindowDuringPlayLeavesTheGameRunning) {
    Start();
    ASSERT_TRUE(X().Tap("F2"));
    WaitForPicture(StripShown, "a game started by F2");
    ASSERT_TRUE(X().Tap("F1"));
    const unsigned long help = WaitForWindow("Help / Controls", kHelpWidth, kHelpHeight);
    ASSERT_NE(help, 0u) << "no help window appeared";
    ASSERT_TRUE(FocusOn(help));
    ASSERT_TRUE(X().Tap("Escape"));
    ASSERT_TRUE(WindowGone(help));
    // The game goes on: its picture keeps changing.
    const Image before = Capture();
    WaitForPicture([&](const Image& im) { return !(im == before); }, "the game still moving");
    std::this_thread::sleep_for(milliseconds{300});
    EXPECT_TRUE(Game().Running()) << "the Esc for the help window ended the game";
    QuitWithEscape();
}

TEST_F(E2EWindows, TheHelpWindowsCloseBoxGivesTheKeysBackToTheGame) {
    Start();
    ASSERT_TRUE(X().Tap("F1"));
    const unsigned long help = WaitForWindow("Help / Controls", kHelpWidth, kHelpHeight);
    ASSERT_NE(help, 0u);
    ASSERT_TRUE(FocusOn(help));
    ASSERT_TRUE(X().CloseBox(help));
    EXPECT_TRUE(FocusOn(MainWindow()));
    ASSERT_TRUE(X().Tap("F2"));
    WaitForPicture(StripShown, "a game started by F2 without a click");
    QuitWithEscape();
}

TEST_F(E2EWindows, F3ShowsTheTenRowsAndEscRewritesTheTableAndShowsTheTitle) {
    const std::string before = ReadFile(HighScoreFile());
    ASSERT_FALSE(before.empty());
    Start();
    const ino_t inode = Inode(HighScoreFile());
    ASSERT_TRUE(X().Tap("F3"));
    const unsigned long table = WaitForWindow("High Score", kScoreWidth, kScoreHeight);
    ASSERT_NE(table, 0u) << "no high-score window appeared";
    ASSERT_TRUE(FocusOn(table));
    WaitForPictureOf(table, TableDrawn, "ten rows of scores and names");
    EXPECT_EQ(Inode(HighScoreFile()), inode) << "written before the window closed";

    ASSERT_TRUE(X().Tap("Escape"));
    EXPECT_TRUE(WindowGone(table));
    // Replaced by a new file (written aside, then renamed) with the same bytes.
    EXPECT_TRUE(WaitUntil([&] { return Inode(HighScoreFile()) != inode; }, kScreenLimit))
        << "Hiscore.txt was not written";
    EXPECT_EQ(ReadFile(HighScoreFile()), before);
    WaitForPicture(TitleDrawn, "the title screen again");
    EXPECT_TRUE(FocusOn(MainWindow()));
    QuitWithEscape();
}

TEST_F(E2EWindows, ATerminatedGameSavesTheTableItHasOpen) {
    const std::string before = ReadFile(HighScoreFile());
    Start();
    ASSERT_TRUE(X().Tap("F3"));
    const unsigned long table = WaitForWindow("High Score", kScoreWidth, kScoreHeight);
    ASSERT_NE(table, 0u);
    WaitForPictureOf(table, TableDrawn, "the table");
    fs::remove(HighScoreFile());
    Game().Terminate(kExitLimit);
    const std::optional<int> status = WaitExit();
    ASSERT_TRUE(status.has_value());
    EXPECT_EQ(*status, 0) << "ended by itself, not killed";
    EXPECT_EQ(ReadFile(HighScoreFile()), before);
    EXPECT_TRUE(NoGameWindowLeft());
}

}  // namespace
}  // namespace vorlax::e2e
