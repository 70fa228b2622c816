// The desktop icon made from the ship: enlarged by whole factors where they
// fit, averaged down where they do not, transparent around the ship.
#include "art/icons.h"

#include <gtest/gtest.h>

namespace vorlax::art {
namespace {

std::uint8_t AlphaAt(const Icon& icon, int x, int y) {
    return icon.alpha[static_cast<std::size_t>(y * icon.pixels.Width() + x)];
}

// A 4 x 2 ship: the left column and the top right pixel are outside its mask.
struct Tiny {
    Surface ship{4, 2}, mask{4, 2, RGB(255, 255, 255)};
    Tiny() {
        for (int y = 0; y < 2; ++y)
            for (int x = 1; x < 4; ++x) {
                if (x == 3 && y == 0) continue;
                ship.SetPixel(x, y, RGB(10 * x, 20 * y, 200));
                mask.SetPixel(x, y, 0);
            }
    }
};

TEST(ShipIcon, WholeFactorsEnlargeTheShipCentredAndTransparentAround) {
    const Tiny t;
    const Icon icon = ShipIcon(t.ship, t.mask, 9);  // 2 x: 8 x 4 at (0, 2)
    ASSERT_EQ(icon.pixels.Width(), 9);
    ASSERT_EQ(icon.alpha.size(), 81u);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x) {
            const int sx = x / 2, sy = (y - 2) / 2;
            const bool on = x < 8 && y >= 2 && y < 6 && t.mask.Pixel(sx, sy) == 0;
            ASSERT_EQ(AlphaAt(icon, x, y), on ? 255 : 0) << x << ", " << y;
            if (on) {
                ASSERT_EQ(icon.pixels.Pixel(x, y), t.ship.Pixel(sx, sy)) << x << ", " << y;
            }
        }
}

TEST(ShipIcon, SmallerThanTheShipAveragesColourAndCoverage) {
    const Tiny t;
    const Icon icon = ShipIcon(t.ship, t.mask, 2);  // 2 x 1 at (0, 0)
    // Left half: ship pixels (1,0) and (1,1) of four, so half covered.
    EXPECT_EQ(AlphaAt(icon, 0, 0), 128);
    EXPECT_EQ(icon.pixels.Pixel(0, 0), RGB(10, 10, 200));
    // Right half: three of four.
    EXPECT_EQ(AlphaAt(icon, 1, 0), 191);
    EXPECT_EQ(AlphaAt(icon, 0, 1), 0);
    EXPECT_EQ(AlphaAt(icon, 1, 1), 0);
}

}  // namespace
}  // namespace vorlax::art
