// The display window's command keys: starting, pausing, resuming and
// nesting, driven by queued key presses as a player would.
#include "game/command_keys.h"

#include <gtest/gtest.h>

#include <tuple>

#include "support/play_fixture.h"

namespace vorlax {
namespace {

class CommandKeys : public testing::PlayTest {
  protected:
    CommandKeys() {
        platform.EveryYield([&] {
            maxDepth = std::max(maxDepth, FrameLoopDepth());
            if (G.LastFrameTick != lastFrame) {
                lastFrame = G.LastFrameTick;
                ++frames;
            }
            if (frames > 20000) G.GameRunning = False;  // a game that runs away fails, not hangs
        });
    }
    // Holds P from `from` for `ms` milliseconds.
    void HoldP(std::uint32_t from, std::uint32_t ms) {
        platform.At(from, [&] { platform.SetKeyHeld(VK_P); });
        platform.At(from + ms, [&] { platform.SetKeyHeld(VK_P, false); });
    }
    // Starts a game and holds P for three frames from 100100: it pauses.
    void StartAndPause() {
        HoldP(100100, 30);
        platform.QueueKeyDown(VK_F2);
        platform.DoEvents();  // returns once the game is paused
        ASSERT_EQ(G.Paused, True);
    }
    int maxDepth = 0;
    int frames = 0;
    Long lastFrame = 0;
};

// On the title screen P and other keys do nothing; F2 switches to the play
// field and plays inside its handler.
TEST_F(CommandKeys, F2SwitchesToThePlayFieldAndPlaysInsideTheHandler) {
    for (int key : {VK_P, int{'A'}, VK_SPACE}) platform.QueueKeyDown(key);
    platform.DoEvents();
    EXPECT_EQ(std::tuple(maxDepth, G.Paused), std::tuple(0, False));
    EXPECT_TRUE(Display().Label4->Visible());
    bool checked = false;
    platform.At(100050, [&] {
        DisplayWindow& d = Display();
        for (Label* label : d.TitleLabels()) EXPECT_FALSE(label->Visible());
        for (TextBox* box : d.StripBoxes()) EXPECT_TRUE(box->Visible());
        // The collision picture out of sight; the handler has not returned.
        EXPECT_EQ(std::tuple(d.CollisionPict->Left(), FrameLoopDepth(), G.GameRunning),
                  std::tuple(805, 1, True));
        checked = true;
        G.GameRunning = False;
    });
    platform.QueueKeyDown(VK_F2);
    platform.DoEvents();
    EXPECT_TRUE(checked && FrameLoopDepth() == 0 && frames >= 4);
}

TEST_F(CommandKeys, PPausesAndAnyOtherKeyResumesByTheSameHandlerCall) {
    StartAndPause();
    EXPECT_EQ(G.GameRunning, False);
    // The resume runs in the same handler call, not nested.
    EXPECT_EQ(std::tuple(FrameLoopDepth(), maxDepth), std::tuple(0, 1));
    const int pausedAt = frames;

    // Time passes with the game paused, and P again does not resume.
    platform.Advance(1000);
    platform.QueueKeyDown(VK_P);
    platform.DoEvents();
    EXPECT_EQ(std::tuple(frames, G.Paused), std::tuple(pausedAt, True));

    // The next key but P resumes, further keys start no further loops, and
    // a later P pauses again.
    const std::uint32_t now = platform.GetTickCount();
    for (std::uint32_t t = 50; t < 500; t += 50) {
        platform.At(now + t, [&] {
            platform.QueueKeyDown(VK_RIGHT);
            platform.QueueKeyDown(VK_SPACE);
        });
    }
    HoldP(now + 600, 30);
    platform.QueueKeyDown('A');
    platform.DoEvents();
    EXPECT_GT(frames, pausedAt + 40);
    EXPECT_EQ(std::tuple(G.Paused, maxDepth), std::tuple(True, 1));
}

TEST_F(CommandKeys, NestedLoopsAreBoundedUnderThousandsOfF2Presses) {
    for (int i = 0; i < 5000; ++i) platform.QueueKeyDown(VK_F2);
    platform.At(100500, [&] { G.GameRunning = False; });
    platform.DoEvents();
    EXPECT_EQ(std::tuple(maxDepth, FrameLoopDepth()), std::tuple(kMaxFrameLoopDepth, 0));
    EXPECT_FALSE(platform.Pending());
}

}  // namespace
}  // namespace vorlax
