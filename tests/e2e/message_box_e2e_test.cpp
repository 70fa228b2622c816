// A failed start-up on a private X server: the message must be seen whatever
// the desktop has installed. The system's message box needs the zenity
// program or X core fonts; where neither is there the game shows its own
// window. Each test here passes with or without them: the first runs once on
// the server as the machine has it and once on one without core fonts, the
// others force the game's own window (VORLAX_OWN_MESSAGE_BOX=1).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/e2e_fixture.h"

namespace vorlax::e2e {
namespace {

const std::string kMissing = "Enemy Mask 7.bmp";
const LaunchSpec kOwnWindow{.executable = {}, .args = {}, .env = {"VORLAX_OWN_MESSAGE_BOX=1"}};

// The game's own window, as it draws itself.
constexpr Rgb kBoxBack{240, 240, 240};
constexpr Rgb kButtonEdge{0, 120, 215};
constexpr int kButtonWidth = 88;
constexpr int kButtonHeight = 28;

bool Dark(Rgb c) {
    return c.r < 100 && c.g < 100 && c.b < 100;
}

class E2EMessageBox : public GameOnXvfb {
  protected:
    // Waits for a window titled VORLAX that is not the game's own window (the
    // system's box is titled so too) and gives it the focus.
    std::optional<WindowInfo> WaitForBox() {
        std::optional<WindowInfo> box;
        const bool seen = WaitUntil(
            [&] {
                for (const WindowInfo& w : GameWindows())
                    if ((w.width != kClientWidth || w.height != kClientHeight) &&
                        X().IsViewable(w.id))
                        box = w;
                return box.has_value() || !Game().Running();
            },
            kStartLimit, milliseconds{50});
        if (!seen || !box) {
            ADD_FAILURE() << "no message box appeared; the game "
                          << (Game().Running() ? "still runs" : "ended");
            return std::nullopt;
        }
        for (const WindowInfo& w : GameWindows())
            EXPECT_FALSE(w.width == kClientWidth && w.height == kClientHeight)
                << "the game window must not open after a failed start-up";
        // Nothing focuses the system's box without a window manager; the
        // game's own takes the focus itself, and this does no harm then.
        EXPECT_TRUE(X().Focus(box->id)) << "the message box would not take the focus";
        return box;
    }

    // The box is gone, and with it the game: status 1, a failed start.
    void ExpectEndedByTheBox(const std::string& how) {
        const std::optional<int> status = WaitExit();
        ASSERT_TRUE(status.has_value()) << "the game did not end after " << how;
        EXPECT_EQ(*status, 1) << how;
        EXPECT_TRUE(NoGameWindowLeft()) << how;
    }

    // Still open after `what`: the game runs and the box is on the screen.
    void ExpectStillOpen(unsigned long box, const std::string& what) {
        // Nothing to wait for: a few frames of the box's loop pass.
        std::this_thread::sleep_for(milliseconds{300});
        EXPECT_TRUE(Game().Running()) << what << " ended the game";
        EXPECT_TRUE(X().IsViewable(box)) << what << " closed the box";
    }
};

TEST_F(E2EMessageBox, AFailedStartIsShownOnAnyDesktopAndEndsWhenTheBoxIsAnswered) {
    Folder().Remove(kMissing);
    for (CoreFonts fonts : {CoreFonts::AsInstalled, CoreFonts::BuiltInsOnly}) {
        const std::string desktop =
            fonts == CoreFonts::AsInstalled ? "the machine's fonts" : "no X core fonts";
        SCOPED_TRACE(desktop);
        NewServer(fonts);
        Launch();
        const std::optional<WindowInfo> box = WaitForBox();
        ASSERT_TRUE(box);
        EXPECT_NE(GameStderr().find(kMissing), std::string::npos)
            << "stderr names the missing file; it says: " << GameStderr();
        ExpectStillOpen(box->id, "waiting");
        ASSERT_TRUE(X().Tap("Return"));
        ExpectEndedByTheBox("Return in the box, with " + desktop);
    }
}

TEST_F(E2EMessageBox, TheGamesOwnWindowShowsTheTextWrappedAndAnOKButton) {
    Folder().Remove(kMissing);
    Launch(kOwnWindow);
    const std::optional<WindowInfo> box = WaitForBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(box->title, "VORLAX");
    std::optional<Image> shot;
    ASSERT_TRUE(WaitUntil([&] { return (shot = X().Capture(box->id)).has_value(); }, kScreenLimit,
                          milliseconds{50}));
    const Image& image = *shot;
    EXPECT_GT(image.Count(image.Bounds(), kBoxBack), image.Width() * image.Height() / 2);

    // The OK button: a blue frame, centred under the text, with dark letters.
    const Rect ok = image.BoundingBox(image.Bounds(), [](Rgb c) { return c == kButtonEdge; });
    EXPECT_EQ(ok.w, kButtonWidth);
    EXPECT_EQ(ok.h, kButtonHeight);
    EXPECT_NEAR(ok.x + ok.w / 2, image.Width() / 2, 1);
    EXPECT_EQ(image.Height() - ok.Bottom(), 16);
    EXPECT_GT(image.CountIf(ok, Dark), 20) << "the word OK";

    // The text: dark letters above the button, within the margins, in more
    // than one line (the message with its path is longer than one line).
    const Rect text = image.BoundingBox({0, 0, image.Width(), ok.y}, [](Rgb c) { return Dark(c); });
    EXPECT_GE(text.x, 20);
    EXPECT_LE(text.Right(), image.Width() - 20);
    EXPECT_LE(text.w, 440);
    EXPECT_GT(text.h, 30) << "two lines or more";
    EXPECT_GT(image.CountIf(text, Dark), 400);

    // Keys other than the answers and clicks beside the button do nothing.
    ASSERT_TRUE(X().Tap("a"));
    ExpectStillOpen(box->id, "the key A");
    ASSERT_TRUE(X().Click(box->id, ok.x - 10, ok.y + ok.h / 2));
    ExpectStillOpen(box->id, "a click beside OK");
    ASSERT_TRUE(X().Tap("Return"));
    ExpectEndedByTheBox("Return");
}

TEST_F(E2EMessageBox, TheGamesOwnWindowClosesWithEscSpaceAClickOnOKAndItsCloseBox) {
    Folder().Remove(kMissing);
    const std::vector<std::string> ways = {"Escape", "space", "a click on OK", "the close box"};
    for (const std::string& way : ways) {
        SCOPED_TRACE(way);
        Launch(kOwnWindow);
        const std::optional<WindowInfo> box = WaitForBox();
        ASSERT_TRUE(box);
        if (way == "a click on OK") {
            std::optional<Image> shot;
            ASSERT_TRUE(WaitUntil([&] { return (shot = X().Capture(box->id)).has_value(); },
                                  kScreenLimit, milliseconds{50}));
            const Rect ok =
                shot->BoundingBox(shot->Bounds(), [](Rgb c) { return c == kButtonEdge; });
            ASSERT_FALSE(ok.Empty());
            ASSERT_TRUE(X().Click(box->id, ok.x + ok.w / 2, ok.y + ok.h / 2));
        } else if (way == "the close box") {
            ASSERT_TRUE(X().CloseBox(box->id));
        } else {
            ASSERT_TRUE(X().Tap(way));
        }
        ExpectEndedByTheBox(way);
    }
}

}  // namespace
}  // namespace vorlax::e2e
