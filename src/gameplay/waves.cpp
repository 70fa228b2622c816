#include "gameplay/waves.h"

#include <algorithm>

#include "core/game_state.h"
#include "core/numbers.h"
#include "core/random.h"
#include "graphics/display_form.h"
#include "platform/platform.h"

namespace vorlax {
namespace {

constexpr Long kTopSpeed = 15;   // wrapping speeds an enemy up, but not beyond this
constexpr Long kPauseMs = 2000;  // between a cleared wave and the next one
constexpr Long kMostFinalEnemies = 3;

// The client size is read afresh whenever a rule needs it: the player may
// resize the window at any time.
double W() {
    return DisplayForm().form.ClientWidth();
}
double H() {
    return DisplayForm().form.ClientHeight();
}

void Enter(int i) {
    G.EnemyAlive[i] = -1;
    G.EnemyBlast[i] = 0;
}

// Wave 10: a few enemies at staggered columns right of the window on random
// rows, the rest rising from below at random columns. The fifth is placed by
// both passes and keeps the second.
void LayOutWave10() {
    G.EnemyCount = kMaxEnemies;
    for (int i = 1; i <= 5; ++i) {
        const Long a = RandomBetween(0, 3);
        G.EnemyX[i] = Nearest(static_cast<double>(i * a) / 10 * W() + 0.9 * W());
        const Long b = RandomBetween(0, 10);
        G.EnemyY[i] = Nearest(b / 10.0 * H());
        G.EnemySpeed[i] = 4;
        Enter(i);
        G.EnemyDrift[i] = RandomBetween(-2, 2);
    }
    for (int i = Nearest(G.EnemyCount / 2.0); i <= G.EnemyCount; ++i) {
        G.EnemyY[i] = Nearest(0.1 * i * H() + 0.9 * H());
        G.EnemyX[i] = Nearest(W() * 6 / 8 * RandomDraw() + W() / 8);
        G.EnemySpeed[i] = 4;
        Enter(i);
        G.EnemyDrift[i] = RandomBetween(-2, 2);
    }
}

void LayOutFormation() {
    const Long wave = G.Wave;
    if (wave <= 6) {
        if (G.Level > 1) G.EnemyCount = kMaxEnemies;
    } else if (wave == 8) {
        G.EnemyCount = 6;
    } else if (wave == 9) {
        G.EnemyCount = kMaxEnemies;
    } else if (wave == 10) {
        LayOutWave10();
        return;
    } else if (wave == kFinalWave) {
        G.EnemyCount = std::min(G.Level, kMostFinalEnemies);
    }
    const Long n = G.EnemyCount;
    for (int i = 1; i <= n; ++i) {
        Enter(i);
        if (wave <= 6) {
            // In from the right, staggered by a tenth of the width.
            G.EnemyX[i] = Nearest(0.1 * i * W() + 0.9 * W());
            G.EnemyY[i] = Nearest(H() * i / (n + 1));
            G.EnemySpeed[i] = G.Level + G.Wave;
            G.EnemyDrift[i] = RandomBetween(-2, 2);
        } else if (wave == 7) {
            // Up from below the bottom edge at random columns.
            G.EnemyX[i] = Nearest(W() * 6 / 8 * RandomDraw() + W() / 8);
            G.EnemyY[i] = Nearest(0.1 * i * H() + 0.9 * H());
            G.EnemySpeed[i] = G.Level + 7;
        } else if (wave == 8) {
            // In from the left, staggered by a fifth of the width.
            G.EnemyX[i] = Nearest(-(0.2 * i * W()));
            G.EnemyY[i] = Nearest(H() * i / (n + 1));
            G.EnemySpeed[i] = 4;
        } else if (wave == 9) {
            G.EnemyX[i] = Nearest(W());
            G.EnemyY[i] = Nearest(H() * i / (n + 1));
            G.EnemySpeed[i] = G.Level;
        } else {
            // The final wave stands at four fifths of the width, armoured.
            G.EnemyX[i] = Nearest(0.8 * W());
            G.EnemyY[i] = Nearest(H() * i / (n + 1));
            G.EnemyHits[i] = 1;
            G.EnemyDirection[i] = 1;
        }
    }
}

// Rule L: fly left; an enemy gone past the left edge comes back at the right,
// a little faster each time.
void FlyLeft(int i, Long w) {
    G.EnemyX[i] -= G.EnemySpeed[i];
    if (G.EnemyX[i] < -w) {
        G.EnemyX[i] = Nearest(W());
        if (G.EnemySpeed[i] < kTopSpeed) G.EnemySpeed[i] += 1;
    }
}

// Keeps a drifting or bouncing enemy in the play field: out at the top, in at
// the bottom, and the other way round.
void WrapVertically(int i, Long h) {
    if (G.EnemyY[i] < kPlayFieldTop) {
        G.EnemyY[i] = Nearest(H() - h);
    } else if (G.EnemyY[i] + h > H()) {
        G.EnemyY[i] = kPlayFieldTop;
    }
}

// Rule LD: fly left and drift.
void FlyLeftAndDrift(int i, Long w, Long h) {
    FlyLeft(i, w);
    G.EnemyY[i] -= G.EnemyDrift[i];
    WrapVertically(i, h);
}

// Rule U: fly up; an enemy gone past the top comes back from below, faster.
void FlyUp(int i) {
    G.EnemyY[i] -= G.EnemySpeed[i];
    if (G.EnemyY[i] < kPlayFieldTop) {
        G.EnemyY[i] = Nearest(H());
        if (G.EnemySpeed[i] < kTopSpeed) G.EnemySpeed[i] += 1;
    }
}

// Rule R: fly right and come back from beyond the left edge, never faster.
void FlyRight(int i, Long w) {
    G.EnemyX[i] += G.EnemySpeed[i];
    if (G.EnemyX[i] > W()) G.EnemyX[i] = -w;
}

// Rule F: bounce up and down at a fixed column with an uneven step.
void Bounce(int i, Long h) {
    G.EnemySpeed[i] = RandomBetween(1, 10) * G.EnemyDirection[i];
    G.EnemyY[i] += G.EnemySpeed[i];
    if (G.EnemyY[i] > 0.9 * H()) {
        G.EnemyY[i] = Nearest(0.9 * H() - 2);
        G.EnemyDirection[i] = -G.EnemyDirection[i];
    } else if (G.EnemyY[i] < 0.1 * H()) {
        G.EnemyDirection[i] = -G.EnemyDirection[i];
        G.EnemyY[i] = Nearest(0.1 * H() + 2);
    }
    WrapVertically(i, h);
}

void MoveEnemies() {
    const Long w = G.EnemyWidth[G.Wave];
    const Long h = G.EnemyHeight[G.Wave];
    for (int i = 1; i <= G.EnemyCount; ++i) {
        if (G.EnemyAlive[i] != -1) continue;
        switch (G.Wave) {
            case 1:
            case 2:
            case 3:
            case 9:
                FlyLeft(i, w);
                break;
            case 4:
            case 5:
            case 6:
            case 10:
                FlyLeftAndDrift(i, w, h);
                break;
            case 7:
                FlyUp(i);
                break;
            case 8:
                FlyRight(i, w);
                break;
            case kFinalWave:
                Bounce(i, h);
                break;
        }
    }
}

// A wave is over only once its last explosion has burnt out.
bool WaveCleared() {
    for (int i = 1; i <= G.EnemyCount; ++i) {
        if (G.EnemyAlive[i] == -1 || G.EnemyBlast[i] > 0) return false;
    }
    return true;
}

// The pause after a cleared wave, timed from the last frame of the wave; the
// player may call the energy carrier during it.
void EndOfWave() {
    Label& prompt = *DisplayForm().Label3;
    if (!WaveCleared()) {
        G.WaveEndTick = TickCount();
    } else if (TickDiff(TickCount(), G.WaveEndTick) <= kPauseMs) {
        prompt.SetVisible(true);
        if (KeyHeld(VK_SHIFT)) {
            G.CarrierCalled = True;
            prompt.SetVisible(false);
        }
    } else {
        prompt.SetVisible(false);
        G.Wave += 1;
        G.WaveSetup = True;
        G.EnemyCount = std::min<Long>(G.EnemyCount + 1, kMaxEnemies);
        G.WaveEndTick = TickCount();
    }
}

}  // namespace

void RunWave() {
    if (G.WaveSetup == True) {
        LayOutFormation();
        G.WaveSetup = False;
    } else {
        MoveEnemies();
    }
    EndOfWave();
    if (G.Wave > kFinalWave) {
        G.Wave = 1;
        G.Level += 1;
    }
}

}  // namespace vorlax
