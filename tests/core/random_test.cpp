#include "core/random.h"

#include <gtest/gtest.h>

#include <set>

#include "support/headless_fixture.h"

namespace vorlax {
namespace {

using RandomTest = testing::HeadlessTest;

TEST_F(RandomTest, DrawsLieInTheHalfOpenUnitIntervalAndRandomBetweenTruncates) {
    float lowest = 1.0f, highest = 0.0f;
    for (int i = 0; i < 200000; ++i) {
        const float r = RandomDraw();
        ASSERT_GE(r, 0.0f);
        ASSERT_LT(r, 1.0f);
        lowest = std::min(lowest, r);
        highest = std::max(highest, r);
    }
    EXPECT_LT(lowest, 0.001f);
    EXPECT_GT(highest, 0.999f);

    // Downwards, also below zero: a drift is one of -2, -1, 0 and 1.
    std::set<Long> steps, drifts;
    for (int i = 0; i < 2000; ++i) {
        EXPECT_EQ(RandomBetween(3, 3), 3);
        steps.insert(RandomBetween(1, 10));
        drifts.insert(RandomBetween(-2, 2));
        platform.Advance(1);
    }
    EXPECT_EQ(steps, (std::set<Long>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(drifts, (std::set<Long>{-2, -1, 0, 1}));
}

TEST_F(RandomTest, ReseedsWithinOneMillisecondStillDiffer) {
    // Every RandomBetween reseeds from the clock; one formation draws many
    // values in the same millisecond and they must not all be equal.
    platform.SetTick(5000);
    std::set<Long> values;
    for (int i = 0; i < 50; ++i) values.insert(RandomBetween(0, 1000));
    EXPECT_GT(values.size(), 40u);
}

}  // namespace
}  // namespace vorlax
