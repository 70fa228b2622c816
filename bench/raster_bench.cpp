// What the frame loop asks of the raster, on the designed 785 x 617 window:
// the clear, the star field, masked sprites (the 1313 x 214 carrier and ten
// 57 x 48 enemies) and, all together, the drawing of the busiest frame the
// game can produce. The whole frame's drawing should stay well under a
// millisecond so that the 10 ms frame spacing is all game.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "raster/raster.h"

namespace vorlax {
namespace {

constexpr int kScreenW = 785;
constexpr int kScreenH = 617;

// A sprite and its mask: an elliptical body, picture coloured inside and
// black outside, mask black inside and white outside, as the game's bitmaps
// are.
struct Sprite {
    Surface picture;
    Surface mask;
};

Sprite MakeSprite(int w, int h, Colour base) {
    Sprite s{Surface(w, h, 0), Surface(w, h, 0xFFFFFF)};
    Ellipse(s.mask, 0, 0, w, h, 0, 0, FillStyle::Solid);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (s.mask.Pixel(x, y) == 0) s.picture.SetPixel(x, y, base + ((x * 7 + y * 3) & 0x3F));
    return s;
}

const Sprite& Carrier() {
    static const Sprite s = MakeSprite(1313, 214, RGB(120, 120, 140));
    return s;
}
const Sprite& Enemy() {
    static const Sprite s = MakeSprite(57, 48, RGB(200, 60, 40));
    return s;
}
const Sprite& Ship() {
    static const Sprite s = MakeSprite(47, 32, RGB(60, 200, 90));
    return s;
}

void DrawMasked(Surface& dst, int x, int y, const Sprite& s) {
    BitBlt(dst, x, y, s.mask.Width(), s.mask.Height(), &s.mask, 0, 0, SRCAND);
    BitBlt(dst, x, y, s.picture.Width(), s.picture.Height(), &s.picture, 0, 0, SRCPAINT);
}

struct Star {
    int x, y, size;
    Colour colour;
};

// 101 stars of sizes 1 to 3 spread over the play field below the strip.
const std::vector<Star>& Stars() {
    static const std::vector<Star> stars = [] {
        std::vector<Star> v;
        std::uint32_t r = 12345;
        auto next = [&r](int n) {
            r = r * 1103515245u + 12345u;
            return static_cast<int>((r >> 8) % static_cast<std::uint32_t>(n));
        };
        for (int i = 0; i <= 100; ++i) {
            const int grey = 100 + next(156);
            v.push_back(
                {next(kScreenW), 26 + next(kScreenH - 26), 1 + next(3), RGB(grey, grey, grey)});
        }
        return v;
    }();
    return stars;
}

void DrawStars(Surface& screen) {
    for (const Star& s : Stars())
        Ellipse(screen, s.x, s.y, s.x + s.size, s.y + s.size, s.colour, s.colour, FillStyle::Solid);
}

// The carrier hanging off the left edge, the most it can cover.
constexpr int kCarrierX = -300;
constexpr int kCarrierY = 260;

void DrawCarrier(Surface& screen) {
    DrawMasked(screen, kCarrierX, kCarrierY, Carrier());
}

int EnemyX(int n) {
    return 60 + 70 * n;
}
int EnemyY(int n) {
    return 40 + 50 * (n % 5);
}

void DrawEnemies(Surface& screen) {
    for (int n = 0; n < 10; ++n) DrawMasked(screen, EnemyX(n), EnemyY(n), Enemy());
}

// Everything one frame can draw at once: the final wave with its armour
// rings and fire, the shield up, five shots and ten explosions in flight,
// and the carrier passing.
void DrawWorstCaseFrame(Surface& screen, int armouredEnemies) {
    constexpr Colour kShot = RGB(255, 255, 0);
    constexpr Colour kEnemyShot = RGB(255, 0, 255);
    constexpr Colour kRing = RGB(0, 255, 255);
    constexpr Colour kShield = RGB(0, 0, 255);
    screen.Fill(0);
    DrawStars(screen);
    const int shipX = 173, shipY = 276;
    DrawMasked(screen, shipX, shipY, Ship());
    Ellipse(screen, shipX - 2, shipY - 2, shipX + 49, shipY + 34, kShield, kShield,
            FillStyle::Transparent);  // 51 x 34
    for (int n = 0; n < armouredEnemies; ++n)
        for (int m = 5; m >= 1; --m)  // 67 x 58 down to 59 x 50
            Ellipse(screen, EnemyX(n) - m, EnemyY(n) - m, EnemyX(n) + 57 + m, EnemyY(n) + 48 + m,
                    kRing, kRing, FillStyle::Transparent);
    for (int j = 0; j < 5; ++j)
        Ellipse(screen, 240 + 90 * j, 290, 245 + 90 * j, 295, kShot, kShot, FillStyle::Solid);
    DrawEnemies(screen);
    for (int n = 0; n < 10; ++n) {
        const int b = 2 * (n + 1);  // radius 2 .. 20
        const int cx = EnemyX(n) + 28, cy = EnemyY(n) + 24;
        const Colour c = RGB(252 - 10 * n, 55 + 10 * n, 34);
        Ellipse(screen, cx - b, cy - b, cx + b, cy + b, c, c, FillStyle::Solid);
    }
    for (int s = 0; s < 30; ++s) {
        const int x = 20 + 25 * s, y = 60 + 17 * s;
        Ellipse(screen, x, y, x + 5, y + 5, kEnemyShot, kEnemyShot, FillStyle::Solid);
    }
    DrawCarrier(screen);
    DrawLine(screen, 0, 25, kScreenW, 25, RGB(255, 255, 255));
}

// The whole clear, as when the colour changes (the same colour again clears
// only what was drawn since: BM_RasterWorstCaseFrame shows that).
void BM_RasterClear(benchmark::State& state) {
    Surface screen(kScreenW, kScreenH);
    Colour colour = 0;
    for (auto _ : state) {
        colour ^= RGB(1, 0, 1);
        screen.Fill(colour);
        benchmark::DoNotOptimize(screen.Data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_RasterClear)->Unit(benchmark::kMicrosecond);

void BM_RasterStars(benchmark::State& state) {
    Surface screen(kScreenW, kScreenH);
    for (auto _ : state) {
        DrawStars(screen);
        benchmark::DoNotOptimize(screen.Data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_RasterStars)->Unit(benchmark::kMicrosecond);

void BM_RasterCarrierMasked(benchmark::State& state) {
    Surface screen(kScreenW, kScreenH);
    Carrier();
    for (auto _ : state) {
        DrawCarrier(screen);
        benchmark::DoNotOptimize(screen.Data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_RasterCarrierMasked)->Unit(benchmark::kMicrosecond);

void BM_RasterTenEnemiesMasked(benchmark::State& state) {
    Surface screen(kScreenW, kScreenH);
    Enemy();
    for (auto _ : state) {
        DrawEnemies(screen);
        benchmark::DoNotOptimize(screen.Data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_RasterTenEnemiesMasked)->Unit(benchmark::kMicrosecond);

// Argument: armoured enemies. One carries 5 rings; on the final wave all ten
// can, 50 rings.
void BM_RasterWorstCaseFrame(benchmark::State& state) {
    Surface screen(kScreenW, kScreenH);
    Carrier();
    Enemy();
    Ship();
    for (auto _ : state) {
        DrawWorstCaseFrame(screen, static_cast<int>(state.range(0)));
        benchmark::DoNotOptimize(screen.Data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_RasterWorstCaseFrame)->Arg(1)->Arg(10)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vorlax
