// Showing a frame of the 785 x 617 display window on a window surface in the
// X server's usual pixel layout (XRGB8888) at scales 1 to 3 (the window at
// scale 3 is 2355 x 1851, a 4K desktop's):
//
//   BM_PresentWhole/N    the whole picture enlarged and converted, as every
//                        frame was shown before only changes were
//   BM_PresentPlay/N     a frame of play as the window shows it now: the
//                        game's own frame (stars, the wave in flight, the
//                        ship, the strip) drawn untimed, then the places
//                        written since the frame before (and before the
//                        fill) joined into pieces and enlarged
//   BM_PresentUnchanged/N the same when nothing was drawn since
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "bench_game.h"
#include "graphics/display_form.h"
#include "platform/scaling.h"

namespace vorlax {
namespace {

constexpr int kW = 785, kH = 617;

// A window surface at scale n, with the picture filling it.
struct Window {
    explicit Window(int n)
        : pixels(static_cast<std::size_t>(kW * n) * kH * n),
          target{pixels.data(), kW * n * 4, {kW * n, kH * n}, {}},
          view(FitPicture({kW, kH}, {kW * n, kH * n}, false)) {}
    void Show(const Surface& image, const PixelRect& logical) {
        const PixelRect area = view.ToWindow(logical.x, logical.y, logical.width, logical.height);
        ScalePixels(image, {0, 0, kW, kH}, target, view.area, area);
    }
    std::vector<std::uint32_t> pixels;
    PixelTarget target;
    Viewport view;
};

// A w x h sprite: a coloured oval on black, its mask black on white.
void Oval(int w, int h, int which, SurfaceHandle& picture, SurfaceHandle& mask) {
    const Colour colour = which == 0    ? RGB(200, 200, 90)
                          : which == -1 ? RGB(120, 130, 140)
                                        : RGB(30 + 20 * which, 200, 60);
    Surface pic(w, h, 0), msk(w, h, RGB(255, 255, 255));
    Ellipse(pic, 0, 0, w, h, colour, colour, FillStyle::Solid);
    Ellipse(msk, 0, 0, w, h, 0, 0, FillStyle::Solid);
    picture = AdoptSurface(std::move(pic));
    mask = AdoptSurface(std::move(msk));
}

// The game on the headless platform, a new game a second in: the first wave
// flying, the stars moving, nobody shooting. Frames are replayed from 64
// states of the game kept in turn, so the wave never leaves.
class Play {
  public:
    Play() {
        DisplayWindow& display = DisplayForm();
        NewGameReset();
        for (Label* label : display.TitleLabels()) label->SetVisible(false);
        for (TextBox* box : display.StripBoxes()) box->SetVisible(true);
        G.GameRunning = True;
        for (int i = 0; i < 90 + 64; ++i) {
            BenchGame::Frame();
            if (i >= 90) states_.push_back(G);
        }
    }
    // The next frame of the 64, drawn.
    void Next() {
        G = states_[next_++ % states_.size()];
        BenchGame::Frame();
    }
    Surface& Image() { return DisplayForm().form.Image(); }

  private:
    BenchGame game_{Oval};
    std::vector<GameState> states_;
    std::size_t next_ = 0;
};

void BM_PresentWhole(benchmark::State& state) {
    Window window(static_cast<int>(state.range(0)));
    Play play;
    play.Next();
    for (auto _ : state) {
        window.Show(play.Image(), {0, 0, kW, kH});
        benchmark::DoNotOptimize(window.pixels.data());
    }
}
BENCHMARK(BM_PresentWhole)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMicrosecond);

// A window at scale n that has shown the first frame of play whole.
struct Showing {
    explicit Showing(int n) : window(n) {
        play.Next();
        shown.TakeAll(play.Image());
    }
    // Shows what may have changed since the last; returns how many pixels
    // of the picture that was, and counts the pieces sent.
    std::size_t ShowChanges() {
        std::size_t pixels = 0;
        for (const PixelRect& r : shown.TakeChanges(play.Image())) {
            window.Show(play.Image(), r);
            pixels += static_cast<std::size_t>(r.width) * r.height;
            ++pieces;
        }
        return pixels;
    }
    std::size_t pieces = 0;
    Window window;
    Play play;
    ShownPicture shown;
};

void BM_PresentPlay(benchmark::State& state) {
    Showing showing(static_cast<int>(state.range(0)));
    std::size_t pixels = 0;
    for (auto _ : state) {
        state.PauseTiming();
        showing.play.Next();
        state.ResumeTiming();
        pixels += showing.ShowChanges();
        benchmark::DoNotOptimize(showing.window.pixels.data());
    }
    state.counters["pixels"] =
        benchmark::Counter(static_cast<double>(pixels), benchmark::Counter::kAvgIterations);
    state.counters["pieces"] =
        benchmark::Counter(static_cast<double>(showing.pieces), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_PresentPlay)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMicrosecond);

void BM_PresentUnchanged(benchmark::State& state) {
    Showing showing(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(showing.ShowChanges());
}
BENCHMARK(BM_PresentUnchanged)->Arg(1)->Arg(3)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vorlax
