#include "gameplay/player_loss.h"

#include "core/game_state.h"
#include "core/numbers.h"
#include "gameplay/carrier.h"
#include "gameplay/ship.h"
#include "graphics/display_form.h"
#include "platform/platform.h"

namespace vorlax {
namespace {

constexpr int kExplosionSteps = 10;
constexpr std::uint32_t kStepMs = 50;

}  // namespace

void LoseShip() {
    Platform& platform = CurrentPlatform();
    Form& form = DisplayForm().form;
    G.GameRunning = False;

    // The explosion swells over whatever the window shows, each ring drawn
    // over the last and shown at once; the game stands still meanwhile. It
    // grows sideways around the ship's centre and mostly downwards.
    for (int i = 1; i <= kExplosionSteps; ++i) {
        const Colour colour = RGB(252 - 10 * i, 55 + 10 * i, 34);
        form.SetFillColor(colour);
        form.SetForeColor(colour);
        form.DrawEllipse(G.ShipX - 32 - 2 * i, Nearest(G.ShipY - 32 - i / 2.0),
                         G.ShipX + 79 + 2 * i, G.ShipY + 64 + 2 * i);
        platform.Sleep(kStepMs);
        form.Refresh();
    }

    // The next ship: at the start, shielded and fully charged. A carrier on
    // screen leaves with the lost ship.
    PlaceShipAtStart();
    G.ShieldOn = True;
    G.Energy = kFullEnergy;
    G.SpawnTick = TickCount();
    G.GameRunning = True;
    EndCarrierVisit();
}

void CountLossAndLoseShip() {
    G.WaveSetup = False;
    G.CurrentShip += 1;
    LoseShip();
}

}  // namespace vorlax
