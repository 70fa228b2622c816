// The end-to-end harness's own parts that need no display: the window list of
// xwininfo and the queries the tests ask of a screenshot.
#include "e2e/xvfb_harness.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "raster/raster.h"

namespace vorlax::e2e {
namespace {

TEST(WindowTree, FindsNamedWindowsWithTheirGeometry) {
    const std::string tree = R"(
xwininfo: Window id: 0x50d (the root window) (has no name)

  Root window id: 0x50d (the root window) (has no name)
  Parent window id: 0x0 (none)
     3 children:
     0x600002 "VORLAX": ()  618x100+203+222  +203+222
     0x200002 "VORLAX": ("vorlax" "vorlax")  785x617+119+75  +119+75
        1 child:
        0x200003 (has no name): ()  1x1+-1+-1  +118+74
     0x400001 "a: \"quoted\"": ()  10x20+-5+7  +-5+7
)";
    const std::vector<WindowInfo> w = ParseWindowTree(tree);
    ASSERT_EQ(w.size(), 3u);
    EXPECT_EQ(w[0].id, 0x600002u);
    EXPECT_EQ(w[0].title, "VORLAX");
    EXPECT_EQ(w[0].width, 618);
    EXPECT_EQ(w[0].height, 100);
    EXPECT_EQ(w[0].x, 203);
    EXPECT_EQ(w[0].y, 222);
    EXPECT_EQ(w[1].id, 0x200002u);
    EXPECT_EQ(w[1].width, 785);
    EXPECT_EQ(w[1].height, 617);
    EXPECT_EQ(w[2].x, -5);
    EXPECT_EQ(w[2].y, 7);
}

TEST(ImageQueries, CountAndBoundingBoxStayInsideThePicture) {
    Image image(6, 4);
    const Rgb red{255, 0, 0};
    image.Set(1, 1, red);
    image.Set(4, 2, red);
    const auto isRed = [&](Rgb c) { return c == red; };
    EXPECT_EQ(image.Count(image.Bounds(), red), 2);
    EXPECT_EQ(image.Count({-10, -10, 100, 100}, red), 2);
    EXPECT_EQ(image.Count({2, 0, 2, 4}, red), 0);
    EXPECT_EQ(image.BoundingBox(image.Bounds(), isRed), (Rect{1, 1, 4, 2}));
    EXPECT_EQ(image.BoundingBox({2, 0, 4, 4}, isRed), (Rect{4, 2, 1, 1}));
    EXPECT_TRUE(image.BoundingBox({0, 3, 6, 1}, isRed).Empty());
}

TEST(ImageQueries, AScreenshotSurfaceReadsAsRgb) {
    Surface shot(3, 2, RGB(1, 0, 1));
    shot.SetPixel(2, 1, RGB(252, 55, 34));
    const Image image(shot);
    EXPECT_EQ(image.Width(), 3);
    EXPECT_EQ(image.Height(), 2);
    EXPECT_EQ(image.At(0, 0), (Rgb{1, 0, 1}));
    EXPECT_EQ(image.At(2, 1), (Rgb{252, 55, 34}));
    Image copy = image;
    EXPECT_EQ(copy, image);
    copy.Set(0, 1, Rgb{0, 0, 1});
    EXPECT_EQ(copy.At(0, 1), (Rgb{0, 0, 1}));
    EXPECT_FALSE(copy == image);
}

}  // namespace
}  // namespace vorlax::e2e
