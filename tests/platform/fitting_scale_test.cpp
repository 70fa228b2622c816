#include <gtest/gtest.h>

#include "platform/scaling.h"

namespace vorlax {
namespace {

TEST(FittingScale, LowersAScaleThatDoesNotFitTheDesktopToTheLargestThatDoes) {
    const Extent field{785, 617};
    EXPECT_EQ(FittingScale(8, field, {1920, 1080}), 1);
    EXPECT_EQ(FittingScale(3, field, {2560, 1600}), 2);
    EXPECT_EQ(FittingScale(2, field, {2560, 1600}), 2);
    EXPECT_EQ(FittingScale(1, field, {3840, 2160}), 1) << "never raised";
    EXPECT_EQ(FittingScale(4, field, {0, 0}), 4) << "an unknown desktop lowers nothing";
}

}  // namespace
}  // namespace vorlax
