#include "gameplay/carrier.h"

#include "core/game_state.h"
#include "core/numbers.h"
#include "core/random.h"
#include "gameplay/ship.h"
#include "graphics/display_form.h"

namespace vorlax {
namespace {

// Flying up and bouncing in place never change an enemy's column.
bool ColumnsFixed(Long wave) {
    return wave == 7 || wave == 11;
}

// Remembers where the enemies of such a wave stood before the carrier moved
// them out of the way.
void NoteStrandedColumns() {
    G.StrandedWave = ColumnsFixed(G.Wave) ? G.Wave : 0;
    if (G.StrandedWave == 0) return;
    for (int i = 1; i <= kMaxEnemies; ++i) G.StrandedX[i] = G.EnemyX[i];
}

}  // namespace

void EndCarrierVisit() {
    // The live enemies of a wave that never moves them sideways go back to
    // where they stood; every other wave carries on from its waiting places.
    if (G.CarrierActive == True && G.StrandedWave != 0 && G.StrandedWave == G.Wave) {
        for (int i = 1; i <= kMaxEnemies && i <= G.EnemyCount; ++i) {
            if (G.EnemyAlive[i] == -1) G.EnemyX[i] = G.StrandedX[i];
        }
    }
    G.StrandedWave = 0;
    G.CarrierCalled = False;
    G.CarrierActive = False;
}

void MoveCarrier() {
    const double width = DisplayForm().form.ClientWidth();
    const double height = DisplayForm().form.ClientHeight();
    if (G.CarrierCalled == True && G.CarrierActive == False) {
        // A visit starts wholly right of the window, its top at one of five
        // rows between a tenth and a half of the height; the enemies make way.
        G.CarrierCalled = False;
        G.CarrierActive = True;
        G.CarrierX = width * 0.1 + width;
        const Long row = RandomBetween(1, 6);
        G.CarrierY = row / 10.0 * height;
        NoteStrandedColumns();
        for (int i = 1; i <= kMaxEnemies; ++i) G.EnemyX[i] = Nearest(width * 0.1 + width);
    } else if (G.CarrierActive == True) {
        G.CarrierX -= G.CarrierSpeed;
        G.ShipStepX = kShipStepNearCarrier;
        G.ShipStepY = kShipStepNearCarrier;
        // The enemies wait in a row beyond the right edge, a tenth of the width apart.
        for (int i = 1; i <= kMaxEnemies; ++i) G.EnemyX[i] = Nearest(i * 0.1 * width + width);
        if (G.CarrierX + kCarrierWidth < 0) EndCarrierVisit();
    } else {
        G.ShipStepX = kShipStep;
        G.ShipStepY = kShipStep;
    }
}

void RefuelIfDocked() {
    // The ship's whole box inside the bay, touching none of its edges.
    const double left = G.CarrierX + kBayLeft;
    const double top = G.CarrierY + kBayTop;
    const double right = left + (kBayRight - kBayLeft);
    const double bottom = top + (kBayBottom - kBayTop);
    if (left < G.ShipX && G.ShipX + kShipWidth < right && top < G.ShipY &&
        G.ShipY + kShipHeight < bottom) {
        G.Energy = kFullEnergy;
    }
}

}  // namespace vorlax
