// A test fixture for play: the display window on the title screen, with
// sprites made in memory (so the rules are tested apart from the artwork),
// and an empty program folder of its own, where a saved table lands.
#pragma once

#include <algorithm>
#include <array>
#include <functional>
#include <vector>

#include "game/frame_loop.h"
#include "game/startup.h"
#include "game/title_screen.h"
#include "game/windows.h"
#include "graphics/sprites.h"
#include "support/headless_fixture.h"
#include "support/temp_folder.h"

namespace vorlax::testing {

// A w x h sprite: an ellipse-like shape in `colour` (black mask on it,
// white mask and black picture around it).
inline void MakeSprite(int w, int h, Colour colour, SurfaceHandle& picture, SurfaceHandle& mask) {
    Surface pic(w, h, 0), msk(w, h, RGB(255, 255, 255));
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const double dx = (x + 0.5 - w / 2.0) / (w / 2.0);
            const double dy = (y + 0.5 - h / 2.0) / (h / 2.0);
            if (dx * dx + dy * dy <= 1.0) {
                pic.SetPixel(x, y, colour);
                msk.SetPixel(x, y, 0);
            }
        }
    }
    picture = AdoptSurface(std::move(pic));
    mask = AdoptSurface(std::move(msk));
}

// The smallest rectangle holding every pixel of `colour` in `image`, as
// left, top, right, bottom with right and bottom exclusive (as an ellipse's
// box is given); {width, height, -1, -1} when there is none.
inline std::array<int, 4> Extent(const Surface& image, Colour colour) {
    std::array<int, 4> box{image.Width(), image.Height(), -1, -1};
    for (int y = 0; y < image.Height(); ++y) {
        for (int x = 0; x < image.Width(); ++x) {
            if (image.Pixel(x, y) != colour) continue;
            box = {std::min(box[0], x), std::min(box[1], y), std::max(box[2], x + 1),
                   std::max(box[3], y + 1)};
        }
    }
    return box;
}

class PlayTest : public HeadlessTest {
  protected:
    // The boundaries of an open box, left < x < right and top < y < bottom: a
    // point on each edge (outside) and one pixel in from it (inside), the other
    // coordinate in the middle.
    struct EdgePoint {
        Long x, y;
        bool inside;
    };

    static std::vector<EdgePoint> EdgesOfOpenBox(Long left, Long top, Long right, Long bottom) {
        const Long midX = (left + right) / 2, midY = (top + bottom) / 2;
        return {{left, midY, false},      {left + 1, midY, true}, {right - 1, midY, true},
                {right, midY, false},     {midX, top, false},     {midX, top + 1, true},
                {midX, bottom - 1, true}, {midX, bottom, false}};
    }

    PlayTest() {
        platform.SetProgramFolder(folder.Path().string());
        platform.SetTick(100000);
        CreateWindows();
        SetPalette();
        FillEnemySizes();
        MakeSprite(kShipWidth, kShipHeight, RGB(200, 200, 90), G.ShipDC, G.ShipMaskDC);
        MakeSprite(kCarrierWidth, kCarrierHeight, RGB(120, 130, 140), G.CarrierDC, G.CarrierMaskDC);
        for (int n = 1; n <= kEnemyTypes; ++n) {
            MakeSprite(kEnemyWidths[n], kEnemyHeights[n], RGB(30 + 20 * n, 200, 60),
                       G.EnemySpriteDC[n], G.EnemyMaskDC[n]);
        }
        DisplayForm().form.Show();  // the first resize shows the title screen
    }
    ~PlayTest() override {
        DestroyWindows();
        FreeGameSprites();
    }

    DisplayWindow& Display() { return DisplayForm(); }

    TempFolder folder;

    static void ShipAt(Long x, Long y) {
        G.ShipX = x;
        G.ShipY = y;
    }
    // Enemy i, alive, its box at (x, y).
    static void Enemy(int i, Long x, Long y) {
        G.EnemyAlive[i] = -1;
        G.EnemyBlast[i] = 0;
        G.EnemyX[i] = x;
        G.EnemyY[i] = y;
    }
    // The ship's shot in slot s, in flight at (x, y).
    static void Shot(int s, Long x, Long y) {
        G.ShotActive[s] = True;
        G.ShotX[s] = x;
        G.ShotY[s] = y;
    }
    // Enemy e's shot in slot k, in flight at (x, y).
    static void EnemyShot(int e, int k, Long x, Long y) {
        G.EnemyShotActive(e, k) = True;
        G.EnemyShotX(e, k) = x;
        G.EnemyShotY(e, k) = y;
    }
    // The wave in play (already laid out) with `count` enemies.
    static void InPlay(Long wave, Long count) {
        G.Wave = wave;
        G.EnemyCount = count;
        G.WaveSetup = False;
    }

    // Presses `key` (F2 to start, any key to resume a paused game) and plays
    // until the loop returns; `during` runs at every yield of the game
    // (return false from it to stop the game there).
    void PlayWhile(const std::function<bool()>& during, int key = VK_F2) {
        platform.EveryYield([&] {
            if (!during()) G.GameRunning = False;
        });
        platform.QueueKeyDown(key);
        platform.DoEvents();
        platform.EveryYield(nullptr);
    }

    // Runs the loop directly (as F2 would, without the window switch) and
    // records the tick of every frame until `stopAfterYields` yields.
    std::vector<Long> FrameTicks(int stopAfterYields) {
        std::vector<Long> ticks;
        Long last = G.LastFrameTick;
        int yields = 0;
        platform.EveryYield([&] {
            if (G.LastFrameTick != last) ticks.push_back(last = G.LastFrameTick);
            if (++yields >= stopAfterYields) G.GameRunning = False;
        });
        G.GameRunning = True;
        FrameLoop();
        platform.EveryYield(nullptr);
        return ticks;
    }

    // Plays exactly `frames` frames after F2 (counted by LastFrameTick changes).
    int PlayFrames(int frames) {
        int seen = 0;
        Long last = G.LastFrameTick;
        PlayWhile([&] {
            if (G.LastFrameTick != last) {
                last = G.LastFrameTick;
                ++seen;
            }
            return seen < frames;
        });
        return seen;
    }
};

}  // namespace vorlax::testing
