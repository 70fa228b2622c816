#include <gtest/gtest.h>

#include "platform/platform.h"
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

TEST(BreakIntoLines, KeepsLinesWithinTheWidthBreakingAtBlanksAndOnlyInsideOverlongWords) {
    EXPECT_EQ(BreakIntoLines("one two three four", 9), "one two\nthree\nfour");
    EXPECT_EQ(BreakIntoLines("one two", 7), "one two") << "a line of exactly the width";
    EXPECT_EQ(BreakIntoLines("a\nb c", 3), "a\nb c") << "its own line ends kept";
    EXPECT_EQ(BreakIntoLines("see /a/very/long/path ok", 6), "see\n/a/ver\ny/long\n/path\nok");
    // Characters, not bytes: five two-byte letters fill a line of five.
    EXPECT_EQ(BreakIntoLines("\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9 x", 5),
              "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\n\xC3\xA9 x");
}

}  // namespace
}  // namespace vorlax
