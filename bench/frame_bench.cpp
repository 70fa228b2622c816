// The cost of one frame as the frame loop runs it: every gameplay step, the
// strip and the whole drawing, in the three heaviest frames there are.
//
//   /0  the carrier on screen over the final wave, with more than the rules
//       allow: ten enemies wearing all five armour rings (the final wave has
//       at most three), eight alive and two exploding, five player shots of
//       which one wears a ring down, thirty enemy shots in flight, all tested
//       against the ship. The ship lies docked in the carrier's bay, so the
//       collision test reads the whole shared rectangle without finding a
//       solid pixel, and the docking refill follows. The wave stands still
//       while the carrier is on screen, and its enemies wait beyond the edge.
//   /1  a wave in flight: the ten live enemies of wave 10 flying and
//       drifting, two wrapping at the edges, five player shots of which two
//       bring an enemy down in this frame, whose explosions start.
//   /2  the unshielded ship in the middle of that wave: each of the ten
//       enemies covers the ship's whole box, and the masks meet only in the
//       ship's outermost column, which the test leaves out, so ten pixel
//       tests each read the whole 45 x 30 inside of the shared rectangle.
#include <benchmark/benchmark.h>

#include "bench_game.h"

namespace {

using namespace vorlax;

void Sprite(int w, int h, int, SurfaceHandle& picture, SurfaceHandle& mask) {
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
    G.CarrierX = 100.25;
    G.CarrierY = 300.0;
    G.ShieldOn = True;
    G.ShipX = 700;  // docked: the bay spans 687.25 .. 781.25 x 450 .. 514
    G.ShipY = 460;
    G.Energy = 200;
    // The bay: clear in the mask, black in the picture, as in the game's artwork.
    Surface& mask = *SurfaceOf(G.CarrierMaskDC);
    Surface& picture = *SurfaceOf(G.CarrierDC);
    for (int y = kBayTop; y < kBayBottom; ++y) {
        for (int x = kBayLeft; x < kBayRight; ++x) {
            mask.SetPixel(x, y, RGB(255, 255, 255));
            picture.SetPixel(x, y, 0);
        }
    }
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

void ShipAmongTheWave() {
    WaveInFlight();
    for (int s = 1; s <= 5; ++s) G.ShotActive[s] = False;
    G.ShieldOn = False;
    G.ShipX = 300;
    G.ShipY = 300;
    // After this frame's move each 55 x 56 enemy stands at (296, 288),
    // around the ship's 47 x 32.
    for (int n = 1; n <= 10; ++n) {
        G.EnemyX[n] = G.ShipX - 4 + G.EnemySpeed[n];
        G.EnemyY[n] = G.ShipY - 12 + G.EnemyDrift[n];
    }
    // The ship's mask solid only in its first column.
    Surface& mask = *SurfaceOf(G.ShipMaskDC);
    mask.Fill(RGB(255, 255, 255));
    for (int y = 0; y < kShipHeight; ++y) mask.SetPixel(0, y, 0);
}

void BM_WorstCaseFrame(benchmark::State& state) {
    const BenchGame game(Sprite);
    if (state.range(0) == 0)
        CarrierOverTheFinalWave();
    else if (state.range(0) == 1)
        WaveInFlight();
    else
        ShipAmongTheWave();
    const GameState start = G;

    for (auto _ : state) {
        state.PauseTiming();
        G = start;
        state.ResumeTiming();
        BenchGame::Frame();
        benchmark::DoNotOptimize(DisplayForm().form.Image().Data());
    }
    // The frame must be the one described: no ship lost, and the docked ship refilled.
    if (G.CurrentShip != start.CurrentShip || (state.range(0) == 0 && G.Energy != kFullEnergy))
        state.SkipWithError("the frame lost the ship or did not dock");
}
BENCHMARK(BM_WorstCaseFrame)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

}  // namespace
