#include "core/numbers.h"

#include <gtest/gtest.h>

#include <limits>

namespace vorlax {
namespace {

TEST(Nearest, TiesGoToTheEvenNeighbourAndOutOfRangeSaturates) {
    EXPECT_EQ(Nearest(2.5), 2);
    EXPECT_EQ(Nearest(3.5), 4);
    EXPECT_EQ(Nearest(-2.5), -2);
    EXPECT_EQ(Nearest(-3.5), -4);
    EXPECT_EQ(Nearest(-0.5), 0);
    EXPECT_EQ(Nearest(2.5000001), 3);
    EXPECT_EQ(Nearest(-2.6), -3);
    EXPECT_EQ(Nearest(1e12), std::numeric_limits<Long>::max());
    EXPECT_EQ(Nearest(-1e12), std::numeric_limits<Long>::min());
    EXPECT_EQ(Nearest(std::numeric_limits<double>::quiet_NaN()), 0);
}

TEST(TickDiff, IsElapsedTimeAcrossTheWrapAndNegativeForAnEarlierReading) {
    EXPECT_EQ(TickDiff(11, 0), 11);
    // 0xFFFFFFF0 read as a Long is -16; 5 ms after the wrap is 21 ms later.
    EXPECT_EQ(TickDiff(5, static_cast<Long>(0xFFFFFFF0u)), 21);
    EXPECT_EQ(TickDiff(static_cast<Long>(0x80000005u), 0x7FFFFFFF), 6);
    EXPECT_LT(TickDiff(100, 200), 0);
    EXPECT_LT(TickDiff(static_cast<Long>(0xFFFFFFF0u), 5), 0);
}

}  // namespace
}  // namespace vorlax
