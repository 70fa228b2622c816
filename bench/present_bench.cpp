// Presenting one frame of the 785 x 617 display window onto a window surface
// in the X server's usual pixel layout (XRGB8888): SDL's plain blit, as the
// game presented before windows scaled, against the game's own enlarging
// copy at scales 1 to 3 (the window at scale 3 is 2355 x 1851, a 4K desktop's).
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "platform/scaling.h"
#include "raster/raster.h"

namespace vorlax {
namespace {

constexpr int kW = 785, kH = 617;

Surface Frame() {
    Surface s(kW, kH, RGB(1, 0, 1));
    for (int i = 0; i < 101; ++i) {
        const int x = (i * 97) % kW, y = 26 + (i * 53) % (kH - 26);
        Ellipse(s, x, y, x + 3, y + 3, RGB(255, 255, 255), RGB(255, 255, 255), FillStyle::Solid);
    }
    return s;
}

void BM_PresentSdlBlit(benchmark::State& state) {
    const Surface image = Frame();
    SDL_Surface* src = SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<std::uint32_t*>(image.Data()), kW, kH, 32, kW * 4, SDL_PIXELFORMAT_XBGR8888);
    SDL_Surface* dst = SDL_CreateRGBSurfaceWithFormat(0, kW, kH, 32, SDL_PIXELFORMAT_XRGB8888);
    SDL_SetSurfaceBlendMode(src, SDL_BLENDMODE_NONE);
    for (auto _ : state) {
        SDL_Rect at{0, 0, 0, 0};
        SDL_BlitSurface(src, nullptr, dst, &at);
        benchmark::DoNotOptimize(dst->pixels);
    }
    SDL_FreeSurface(src);
    SDL_FreeSurface(dst);
}
BENCHMARK(BM_PresentSdlBlit);

void BM_PresentScaled(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const Surface image = Frame();
    std::vector<std::uint32_t> window(static_cast<std::size_t>(kW * n) * kH * n);
    const PixelTarget target{window.data(), kW * n * 4, {kW * n, kH * n}, {}};
    const PixelRect area{0, 0, kW * n, kH * n};
    for (auto _ : state) {
        ScalePixels(image, {0, 0, kW, kH}, target, area, area);
        benchmark::DoNotOptimize(window.data());
    }
}
BENCHMARK(BM_PresentScaled)->Arg(1)->Arg(2)->Arg(3);

}  // namespace
}  // namespace vorlax
