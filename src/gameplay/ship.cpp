#include "gameplay/ship.h"

#include "core/game_state.h"
#include "core/numbers.h"
#include "graphics/display_form.h"
#include "platform/platform.h"

namespace vorlax {
namespace {

constexpr Long kShotSpacing = 300;  // a shot needs more than this many ms since the last attempt
constexpr Long kSpawnShieldTime = 2000;

}  // namespace

void PlaceShipAtStart() {
    const Form& form = DisplayForm().form;
    G.ShipX = Nearest(form.ClientWidth() * 0.25 - kShipWidth / 2.0);
    G.ShipY = Nearest(form.ClientHeight() * 0.5 - kShipHeight);
}

void MoveShip() {
    const Form& form = DisplayForm().form;
    const double width = form.ClientWidth();
    const double height = form.ClientHeight();

    if (KeyHeld(VK_RIGHT)) G.ShipX += G.ShipStepX;
    if (KeyHeld(VK_LEFT)) G.ShipX -= G.ShipStepX;
    if (G.ShipX < 0) G.ShipX = 0;
    if (width - kShipWidth < G.ShipX) G.ShipX = Nearest(width - kShipWidth);

    if (KeyHeld(VK_UP)) G.ShipY -= G.ShipStepY;
    if (KeyHeld(VK_DOWN)) G.ShipY += G.ShipStepY;
    if (G.ShipY < kPlayFieldTop) G.ShipY = kPlayFieldTop;
    if (height - kShipHeight < G.ShipY) G.ShipY = Nearest(height - kShipHeight);
}

void FireShot() {
    if (TickDiff(G.NowTick, G.LastShotTick) <= kShotSpacing) return;
    if (G.CarrierActive == False && G.Energy > 0) {
        for (int s = 1; s <= kShotSlots; ++s) {
            if (G.ShotActive[s] == False) {
                G.ShotActive[s] = True;
                // The nose of the ship: 0.9 of its width, 0.35 of its height.
                G.ShotX[s] = G.ShipX + 42;
                G.ShotY[s] = G.ShipY + 11;
                G.Energy -= 1;
                break;
            }
        }
    }
    // A fresh reading, not NowTick: the spacing runs from the attempt itself.
    G.LastShotTick = TickCount();
}

void ShieldTimer() {
    if (G.ShieldOn == True && TickDiff(G.NowTick, G.SpawnTick) > kSpawnShieldTime) {
        G.ShieldOn = False;
    }
}

}  // namespace vorlax
