// The game after any idle time: started weeks after the title screen
// appeared. Frames, shots and the spawn shield must behave exactly as after a
// short wait, across the sign boundary of the 32-bit tick counter and across
// its wrap.
#include <gtest/gtest.h>

#include <cstdint>
#include <tuple>
#include <vector>

#include "core/numbers.h"
#include "core/tick_readings.h"
#include "support/play_fixture.h"

namespace vorlax {
namespace {

class LongIdle : public testing::PlayTest {
  protected:
    // Lets the event loop idle for `ms` of virtual time, as the real one
    // waits for the player.
    void Idle(std::uint64_t ms) {
        while (ms > 0) {
            const auto step = static_cast<std::uint32_t>(std::min<std::uint64_t>(ms, 1u << 30));
            platform.At(platform.GetTickCount() + step, [] {});
            platform.RunEventLoop();
            ms -= step;
        }
    }

    // After F2, with space held, the first pass draws a frame and fires a
    // shot; then frames follow every 11 ms.
    void ExpectAPromptGame() {
        const Long start = static_cast<Long>(platform.GetTickCount());
        std::vector<Long> frames;
        Long last = G.LastFrameTick;
        platform.SetKeyHeld(VK_SPACE);
        PlayWhile([&] {
            if (G.LastFrameTick != last) frames.push_back(last = G.LastFrameTick);
            return frames.size() < 4;
        });
        platform.SetKeyHeld(VK_SPACE, false);
        ASSERT_EQ(frames.size(), 4u) << "frames stopped after the idle time";
        EXPECT_EQ(
            std::tuple(frames[0], TickDiff(frames[3], frames[0]), G.ShotActive[1], G.LastShotTick),
            std::tuple(start, 33, True, start))
            << "the first frame waits, or fires no shot";
    }
};

TEST_F(LongIdle, AGameStartedAfterAnyTimeOnTheTitleScreenRunsAtOnce) {
    // The title screen appeared at 100000 ms; the game starts so much later
    // that the counter reads just below, at and beyond its sign boundary,
    // near and past its wrap, and after several wraps.
    const std::uint64_t start = 100000;
    const std::uint64_t signBoundary = 1ull << 31, wrap = 1ull << 32;
    for (const std::uint64_t at : {signBoundary - 1, signBoundary, signBoundary + 11, wrap - 1,
                                   wrap, wrap + 5, 3 * wrap + 12345}) {
        SCOPED_TRACE("started at " + std::to_string(at) + " ms");
        // A fresh program each time: readings of 0 and a new title screen.
        G.LastFrameTick = 0;
        G.LastShotTick = 0;
        platform.SetTick(static_cast<std::uint32_t>(start));
        NewGameReset();
        Idle(at - start);
        ASSERT_EQ(platform.GetTickCount(), static_cast<std::uint32_t>(at));
        ExpectAPromptGame();
        // So long after the title screen, the first ship has no spawn shield.
        EXPECT_EQ(G.ShieldOn, False);
        G.GameRunning = False;
    }
}

// A frame needs more than 10 ms since the last, also when the last frame
// lies just below the largest Long or just below the wrap and the next ones
// fall beyond it, and when the clock reads before the last frame.
TEST_F(LongIdle, FramesRunEvery11MillisecondsAcrossTheSignBoundaryAndTheWrapAndNotBefore) {
    for (const std::uint32_t lastFrame : {1000u, 0x7FFFFFFAu, 0xFFFFFFD5u}) {
        G.LastFrameTick = static_cast<Long>(lastFrame);
        platform.SetTick(lastFrame + 10);  // exactly 10 ms: no frame yet
        const std::vector<Long> frames = FrameTicks(12);
        ASSERT_GE(frames.size(), 4u);
        EXPECT_EQ(frames[0], static_cast<Long>(lastFrame + 11));
        for (std::size_t i = 1; i < frames.size(); ++i)
            EXPECT_EQ(TickDiff(frames[i], frames[i - 1]), 11);
    }
    // A clock that went back: the one case a reading after the clock can
    // mean. The reading is kept, not aged, and no frame runs until the clock
    // has passed it.
    G.LastFrameTick = 5000;
    platform.SetTick(4000);
    Idle(100);
    EXPECT_EQ(G.LastFrameTick, 5000);
    const std::vector<Long> frames = FrameTicks(200);
    ASSERT_FALSE(frames.empty());
    EXPECT_TRUE(frames[0] >= 5011 && frames[0] <= 5022) << frames[0];
}

}  // namespace
}  // namespace vorlax
