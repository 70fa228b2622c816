// The cost of one frame as the frame loop runs it: every gameplay step, the
// strip and the whole drawing, in the two heaviest frames there are.
//
//   /0  the carrier on screen over the final wave, drawn at more than the
//       rules allow: ten enemies wearing all five armour rings (the final
//       wave has at most three), eight alive and two exploding, five player
//       shots of which one wears a ring down, thirty enemy shots. The wave
//       stands still while the carrier is on screen, so its step is skipped.
//   /1  a wave in flight: the ten live enemies of wave 10 flying and
//       drifting, two wrapping at the edges, five player shots of which two
//       bring an enemy down in this frame, whose explosions start.
#include <benchmark/benchmark.h>

#include "core/game_state.h"
#include "game/frame_loop.h"
#include "game/startup.h"
#include "game/title_screen.h"
#include "game/windows.h"
#include "graphics/sprites.h"
#include "platform/headless_platform.h"

namespace {

using namespace vorlax;

void Sprite(int w, int h, SurfaceHandle& picture, SurfaceHandle& mask) {
    Surface pic(w, h, RGB(90, 160, 200)), msk(w, h, 0);
    for (int x = 0; x < w; x += 3) {  // a ragged outline, so the masks are not trivial
        msk.SetPixel(x, 0, RGB(255, 255, 255));
        pic.SetPixel(x, 0, 0);
    }
    picture = AdoptSurface(std::move(pic));
    mask = AdoptSurface(std::move(msk));
}

void CarrierOverTheFinalWave() {
    G.Wave = 11;
    G.WaveSetup = False;
    G.EnemyCount = 10;
    for (int n = 1; n <= 10; ++n) {
        G.EnemyAlive[n] = n <= 8 ? -1 : 0;
        G.EnemyBlast[n] = n <= 8 ? 0 : 10 + n;
        G.EnemyHits[n] = 0;
        G.EnemyX[n] = 60 * n;
        G.EnemyY[n] = 40 + 50 * n;
    }
    for (int s = 1; s <= 5; ++s) {
        G.ShotActive[s] = True;
        G.ShotX[s] = 100 + 80 * s;
        G.ShotY[s] = 300;
    }
    for (int e = 1; e <= 3; ++e) {
        for (int s = 1; s <= 10; ++s) {
            G.EnemyShotActive(e, s) = True;
            G.EnemyShotX(e, s) = 700 - 20 * s;
            G.EnemyShotY(e, s) = 100 + 150 * e;
        }
    }
    G.CarrierActive = True;
    G.CarrierX = 200.25;
    G.CarrierY = 300.0;
    G.ShieldOn = True;
    G.ShipX = 150;
    G.ShipY = 500;
}

void WaveInFlight() {
    G.Wave = 10;
    G.Level = 3;
    G.WaveSetup = False;
    G.EnemyCount = 10;
    for (int n = 1; n <= 10; ++n) {
        G.EnemyAlive[n] = -1;
        G.EnemyBlast[n] = 0;
        G.EnemySpeed[n] = 4 + n % 3;
        G.EnemyDrift[n] = n % 4 - 2;
        G.EnemyX[n] = 75 * n - 60;
        G.EnemyY[n] = 26 + 55 * n;  // the last leaves at the bottom
    }
    for (int s = 1; s <= 5; ++s) {
        G.ShotActive[s] = True;
        G.ShotX[s] = 60 + 150 * s;
        G.ShotY[s] = 30 + 60 * s;
    }
    G.EnemyX[1] = -53;  // leaves at the left edge
    // Two shots inside enemies 3 and 6.
    G.ShotX[1] = G.EnemyX[3] + 10;
    G.ShotY[1] = G.EnemyY[3] + 10;
    G.ShotX[2] = G.EnemyX[6] + 10;
    G.ShotY[2] = G.EnemyY[6] + 10;
    G.ShieldOn = True;
    G.ShipX = 150;
    G.ShipY = 500;
}

void BM_WorstCaseFrame(benchmark::State& state) {
    HeadlessPlatform platform;
    SetCurrentPlatform(&platform);
    G = GameState{};
    CreateWindows();
    SetPalette();
    FillEnemySizes();
    Sprite(kShipWidth, kShipHeight, G.ShipDC, G.ShipMaskDC);
    Sprite(kCarrierWidth, kCarrierHeight, G.CarrierDC, G.CarrierMaskDC);
    for (int n = 1; n <= kEnemyTypes; ++n)
        Sprite(kEnemyWidths[n], kEnemyHeights[n], G.EnemySpriteDC[n], G.EnemyMaskDC[n]);
    DisplayForm().form.Show();
    if (state.range(0) == 0)
        CarrierOverTheFinalWave();
    else
        WaveInFlight();
    const GameState start = G;

    for (auto _ : state) {
        state.PauseTiming();
        G = start;
        state.ResumeTiming();
        if (RunGameplaySteps()) {
            UpdateStrip();
            DrawPlayField();
        }
        benchmark::DoNotOptimize(DisplayForm().form.Image().Data());
    }

    DestroyWindows();
    FreeGameSprites();
    SetCurrentPlatform(nullptr);
}
BENCHMARK(BM_WorstCaseFrame)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
