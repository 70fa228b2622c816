#include "core/random.h"

#include <gtest/gtest.h>

#include <set>

#include "support/headless_fixture.h"

namespace vorlax {
namespace {

using RandomTest = testing::HeadlessTest;

TEST_F(RandomTest, DrawsLieInTheHalfOpenUnitInterval) {
    ReseedWith(12345);
    float lowest = 1.0f, highest = 0.0f;
    for (int i = 0; i < 200000; ++i) {
        float r = RandomDraw();
        ASSERT_GE(r, 0.0f);
        ASSERT_LT(r, 1.0f);
        lowest = std::min(lowest, r);
        highest = std::max(highest, r);
    }
    // Spread over the whole interval, not stuck in a corner of it.
    EXPECT_LT(lowest, 0.001f);
    EXPECT_GT(highest, 0.999f);
}

TEST_F(RandomTest, RandomBetweenTruncatesDownwards) {
    platform.SetTick(1000);
    for (int i = 0; i < 5000; ++i) {
        EXPECT_EQ(RandomBetween(3, 3), 3);
        Long v = RandomBetween(1, 10);
        ASSERT_GE(v, 1);
        ASSERT_LE(v, 9);
        Long d = RandomBetween(-2, 2);
        ASSERT_GE(d, -2);
        ASSERT_LE(d, 1);
        platform.Advance(1);
    }
}

TEST_F(RandomTest, RandomBetweenReachesEveryValueOfItsRange) {
    std::set<Long> seen;
    for (int i = 0; i < 2000; ++i) {
        seen.insert(RandomBetween(0, 10));
        platform.Advance(3);
    }
    EXPECT_EQ(seen.size(), 10u);
}

TEST_F(RandomTest, ReseedsWithinOneMillisecondStillDiffer) {
    // Every RandomBetween reseeds from the clock; one formation draws many
    // values in the same millisecond and they must not all be equal.
    platform.SetTick(5000);
    std::set<Long> seen;
    for (int i = 0; i < 50; ++i) seen.insert(RandomBetween(0, 1000));
    EXPECT_GT(seen.size(), 40u);
}

TEST_F(RandomTest, RunsRepeatUnderTheVirtualClock) {
    auto run = [&] {
        ReseedWith(7);
        platform.SetTick(42);
        std::vector<float> values;
        Reseed();
        for (int i = 0; i < 10; ++i) values.push_back(RandomDraw());
        values.push_back(static_cast<float>(RandomBetween(0, 100)));
        return values;
    };
    EXPECT_EQ(run(), run());
}

}  // namespace
}  // namespace vorlax
