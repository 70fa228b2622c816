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
        ASSERT_TRUE(r >= 0.0f && r < 1.0f) << r;
        lowest = std::min(lowest, r);
        highest = std::max(highest, r);
    }
    EXPECT_TRUE(lowest < 0.001f && highest > 0.999f);

    // Downwards, also below zero: a drift is one of -2, -1, 0 and 1. Many
    // calls in one millisecond (one formation's drifts) still differ.
    std::set<Long> steps, drifts;
    for (int i = 0; i < 2000; ++i) {
        EXPECT_EQ(RandomBetween(3, 3), 3);
        steps.insert(RandomBetween(1, 10));
        drifts.insert(RandomBetween(-2, 2));
    }
    EXPECT_EQ(steps, (std::set<Long>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(drifts, (std::set<Long>{-2, -1, 0, 1}));
}

}  // namespace
}  // namespace vorlax
