#include "game/frame_loop.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "core/game_state.h"
#include "core/numbers.h"
#include "core/random.h"
#include "game/startup.h"
#include "game/windows.h"
#include "gameplay/carrier.h"
#include "gameplay/collision.h"
#include "gameplay/enemy_fire.h"
#include "gameplay/ship.h"
#include "gameplay/shot_hits.h"
#include "gameplay/waves.h"
#include "graphics/sprites.h"
#include "platform/platform.h"
#include "scores/game_over.h"

namespace vorlax {
namespace {

constexpr Long kExtraShipPoints = 10000;
constexpr int kMaxBlast = 20;

int depth = 0;

// Set while an Esc press taken by another window may still be held.
bool escapeTaken = false;

// Whether the Esc held now is a request to quit.
bool QuitKeyHeld() {
    if (!KeyHeld(VK_ESCAPE)) {
        escapeTaken = false;
        return false;
    }
    return !escapeTaken;
}

struct DepthGuard {
    DepthGuard() { ++depth; }
    ~DepthGuard() { --depth; }
    DepthGuard(const DepthGuard&) = delete;
    DepthGuard& operator=(const DepthGuard&) = delete;
};

int EnemiesInPlay() {
    return std::clamp(G.EnemyCount, 0, kMaxEnemies);
}

void SetPen(Form& form, Colour colour) {
    form.SetFillColor(colour);
    form.SetForeColor(colour);
}

// Each star flies left by its speed; one gone past the left edge comes back
// at the right edge at a fresh height and speed.
void MoveStars(double width, double height) {
    for (int i = decltype(G.Stars)::lower; i <= decltype(G.Stars)::upper; ++i) {
        Star& star = G.Stars[i];
        star.X -= star.Speed;
        if (star.X < 0) {
            star.X = Nearest(width);
            const double r1 = RandomDraw();
            star.Y = Nearest(height * r1 + (kPlayFieldTop + 1));
            const double r2 = RandomDraw();
            star.Speed = Nearest(r2 * 5 + 1);
        }
    }
}

void MovePlayerShots() {
    for (int j = 1; j <= kShotSlots; ++j) {
        if (G.ShotActive[j] == True) G.ShotX[j] += 10;
    }
}

void MoveEnemyShots() {
    for (int e = 1; e <= kFiringEnemies; ++e) {
        for (int s = 1; s <= kEnemyShotSlots; ++s) {
            if (G.EnemyShotActive(e, s) == True) G.EnemyShotX(e, s) -= 10;
        }
    }
}

// A shot is drawn once more in the frame that takes it past the edge, then
// its slot is free.
void RetirePlayerShots(double width) {
    for (int j = 1; j <= kShotSlots; ++j) {
        if (G.ShotActive[j] == True && G.ShotX[j] > width) G.ShotActive[j] = False;
    }
}

void RetireEnemyShots() {
    for (int e = 1; e <= kFiringEnemies; ++e) {
        for (int s = 1; s <= kEnemyShotSlots; ++s) {
            if (G.EnemyShotActive(e, s) == True && G.EnemyShotX(e, s) < 0) {
                G.EnemyShotActive(e, s) = False;
            }
        }
    }
}

// An explosion's disc grows by a pixel a frame and is gone after its last step.
void GrowExplosions() {
    for (int n = 1; n <= EnemiesInPlay(); ++n) {
        const Long b = G.EnemyBlast[n];
        if (b < 1) continue;
        G.EnemyBlast[n] = b + 1;
        if (G.EnemyBlast[n] > kMaxBlast) G.EnemyBlast[n] = 0;
    }
}

void DrawStars(Form& form) {
    for (int i = decltype(G.Stars)::lower; i <= decltype(G.Stars)::upper; ++i) {
        const Star& star = G.Stars[i];
        SetPen(form, star.Colour);
        form.DrawEllipse(star.X, star.Y, star.X + star.Size, star.Y + star.Size);
    }
}

void DrawOutline(Form& form, Colour colour, int left, int top, int right, int bottom) {
    form.SetFillStyle(FillStyle::Transparent);
    form.SetForeColor(colour);
    form.DrawEllipse(left, top, right, bottom);
    form.SetFillStyle(FillStyle::Solid);
}

void DrawArmourRings(Form& form) {
    const int w = G.EnemyWidth[G.Wave];
    const int h = G.EnemyHeight[G.Wave];
    for (int n = 1; n <= EnemiesInPlay(); ++n) {
        if (G.EnemyAlive[n] != -1) continue;
        // One ring per hit still to take, the largest first.
        for (Long k = G.EnemyHits[n]; k <= 4; ++k) {
            const int m = 5 - k;
            DrawOutline(form, G.ColCyan, G.EnemyX[n] - m, G.EnemyY[n] - m, G.EnemyX[n] + w + m,
                        G.EnemyY[n] + h + m);
        }
    }
}

void DrawPlayerShots(Form& form) {
    for (int j = 1; j <= kShotSlots; ++j) {
        if (G.ShotActive[j] != True) continue;
        SetPen(form, G.ShotColour);
        form.DrawEllipse(G.ShotX[j], G.ShotY[j], G.ShotX[j] + 5, G.ShotY[j] + 5);
    }
}

void DrawEnemies(Form& form) {
    const int w = G.EnemyWidth[G.Wave];
    const int h = G.EnemyHeight[G.Wave];
    for (int n = 1; n <= EnemiesInPlay(); ++n) {
        if (G.EnemyAlive[n] != -1) continue;
        DrawMasked(form.Image(), G.EnemyX[n], G.EnemyY[n], w, h, G.EnemySpriteDC[G.Wave],
                   G.EnemyMaskDC[G.Wave]);
    }
}

void DrawExplosions(Form& form) {
    const double w = G.EnemyWidth[G.Wave];
    const double h = G.EnemyHeight[G.Wave];
    for (int n = 1; n <= EnemiesInPlay(); ++n) {
        const Long b = G.EnemyBlast[n];
        if (b < 1) continue;
        // A disc of radius b around the enemy box's centre, cooling as it grows.
        SetPen(form, RGB(252 - b, 55 + b, 70));
        const double cx = G.EnemyX[n] + w / 2;
        const double cy = G.EnemyY[n] + h / 2;
        form.DrawEllipse(Nearest(cx - b), Nearest(cy - b), Nearest(cx + b), Nearest(cy + b));
    }
}

void DrawEnemyShots(Form& form) {
    for (int e = 1; e <= kFiringEnemies; ++e) {
        for (int s = 1; s <= kEnemyShotSlots; ++s) {
            if (G.EnemyShotActive(e, s) != True) continue;
            SetPen(form, G.EnemyShotColour);
            form.DrawEllipse(G.EnemyShotX(e, s), G.EnemyShotY(e, s), G.EnemyShotX(e, s) + 5,
                             G.EnemyShotY(e, s) + 5);
        }
    }
}

}  // namespace

void EscapeTakenByOtherWindow() {
    escapeTaken = true;
}

int FrameLoopDepth() {
    return depth;
}

bool RunGameplaySteps() {
    MoveShip();
    if (KeyHeld(VK_SPACE)) FireShot();
    if (QuitKeyHeld()) {
        G.GameRunning = False;
        Shutdown();
        CurrentPlatform().End(0);
    }
    ShotsHitEnemies();
    // While the carrier is on screen the wave neither moves nor advances.
    if (G.CarrierActive == False) RunWave();
    ShieldTimer();
    // The shield key costs a unit of energy per frame, spawn shield or not.
    if (KeyHeld(VK_CONTROL) && G.Energy > 0) {
        G.ShieldOn = True;
        G.Energy -= 1;
    }
    // P pauses after this frame has been drawn.
    if (KeyHeld(VK_P)) {
        G.GameRunning = False;
        G.Paused = True;
    }
    CheckShipCollision();
    if (G.Wave == kFinalWave) {
        for (int n = 1; n <= kFiringEnemies; ++n) {
            if (G.EnemyAlive[n] == -1) {
                G.FiringEnemy = n;
                EnemyFire();
            }
        }
    }
    if (G.Energy == 0) G.CarrierCalled = True;
    MoveCarrier();
    if (G.CarrierActive == True) RefuelIfDocked();
    // At most one extra ship per frame; points beyond 10000 are dropped.
    if (G.BonusPoints > kExtraShipPoints) {
        G.BonusPoints = 0;
        G.ShipsEarned += 1;
    }
    if (G.CurrentShip > G.ShipsEarned) {
        G.GameRunning = False;
        G.GameEnded = true;
        GameOver();
        return false;
    }
    return true;
}

void UpdateStrip() {
    DisplayWindow& d = DisplayForm();
    d.Text2->SetText(std::to_string(LivesLeft(G)));
    d.Text3->SetText(std::to_string(G.Level));
    d.Text6->SetText(std::to_string(G.Wave));
    d.Text7->SetText(std::to_string(G.Score));
    d.Text9->SetText(std::to_string(G.Energy));
}

void MoveAndDrawPlayField() {
    Form& form = DisplayForm().form;
    const double width = form.ClientWidth();
    const double height = form.ClientHeight();

    MoveStars(width, height);
    MovePlayerShots();
    if (G.Wave == kFinalWave) MoveEnemyShots();

    // Back to front: whatever comes later covers what came before.
    form.Cls();
    DrawStars(form);
    DrawMasked(form.Image(), G.ShipX, G.ShipY, kShipWidth, kShipHeight, G.ShipDC, G.ShipMaskDC);
    if (G.ShieldOn == True) {
        DrawOutline(form, G.ColBlue, G.ShipX - 2, G.ShipY - 2, G.ShipX + kShipWidth + 2,
                    G.ShipY + kShipHeight + 2);
    }
    if (G.Wave == kFinalWave) DrawArmourRings(form);
    DrawPlayerShots(form);
    DrawEnemies(form);
    DrawExplosions(form);
    if (G.Wave == kFinalWave) DrawEnemyShots(form);

    RetirePlayerShots(width);
    GrowExplosions();
    if (G.Wave == kFinalWave) {
        RetireEnemyShots();
        // A hit's explosion swells over the field drawn so far; the carrier
        // leaves with the lost ship and is not drawn then.
        EnemyShotsHitShip();
    }

    if (G.CarrierActive == True) {
        DrawMasked(form.Image(), Nearest(G.CarrierX), Nearest(G.CarrierY), kCarrierWidth,
                   kCarrierHeight, G.CarrierDC, G.CarrierMaskDC);
    }
    // The separator under the head-up strip.
    form.DrawLine(0, kPlayFieldTop, static_cast<int>(width), kPlayFieldTop, G.ColWhite);
    form.Touch();
}

void FrameLoop() {
    DepthGuard guard;
    Platform& platform = CurrentPlatform();
    DisplayWindow& display = DisplayForm();
    for (;;) {
        G.NowTick = TickCount();
        if (TickDiff(G.NowTick, G.LastFrameTick) > G.FrameInterval) {
            if (!RunGameplaySteps()) return;
            UpdateStrip();
            MoveAndDrawPlayField();
            G.LastFrameTick = TickCount();
            display.form.Refresh();
            display.CollisionPict->Refresh();
        }
        // Nothing to do until the next frame is due: let the yield sleep
        // until then (or until an event comes) rather than spin.
        const Long now = TickCount();
        const std::int64_t span = std::int64_t{G.FrameInterval} + 1;
        const std::int64_t wait = std::clamp<std::int64_t>(span - TickDiff(now, G.LastFrameTick), 0,
                                                           std::max<std::int64_t>(span, 0));
        platform.DoEvents(static_cast<std::uint32_t>(wait));
        if (G.GameRunning == False) return;
    }
}

}  // namespace vorlax
