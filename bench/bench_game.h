// The game on the headless platform, as the benchmarks run it.
#pragma once

#include "core/game_state.h"
#include "game/frame_loop.h"
#include "game/startup.h"
#include "game/title_screen.h"
#include "game/windows.h"
#include "graphics/sprites.h"
#include "platform/headless_platform.h"

namespace vorlax {

// The game's windows made, the palette and the enemies' sizes set, every
// sprite made by `make`, and the display window shown; all undone when it
// goes. `which` tells the sprites apart: 0 the ship, -1 the carrier, n the
// enemy of type n.
class BenchGame {
  public:
    using MakeSprite = void (*)(int width, int height, int which, SurfaceHandle& picture,
                                SurfaceHandle& mask);
    explicit BenchGame(MakeSprite make) {
        SetCurrentPlatform(&platform_);
        G = GameState{};
        CreateWindows();
        SetPalette();
        FillEnemySizes();
        make(kShipWidth, kShipHeight, 0, G.ShipDC, G.ShipMaskDC);
        make(kCarrierWidth, kCarrierHeight, -1, G.CarrierDC, G.CarrierMaskDC);
        for (int n = 1; n <= kEnemyTypes; ++n)
            make(kEnemyWidths[n], kEnemyHeights[n], n, G.EnemySpriteDC[n], G.EnemyMaskDC[n]);
        DisplayForm().form.Show();
    }
    ~BenchGame() {
        DestroyWindows();
        FreeGameSprites();
        SetCurrentPlatform(nullptr);
    }
    BenchGame(const BenchGame&) = delete;
    BenchGame& operator=(const BenchGame&) = delete;

    // One frame as the frame loop runs it: the gameplay steps, the strip and
    // the play field.
    static void Frame() {
        if (RunGameplaySteps()) {
            UpdateStrip();
            MoveAndDrawPlayField();
        }
    }

  private:
    HeadlessPlatform platform_;
};

}  // namespace vorlax
