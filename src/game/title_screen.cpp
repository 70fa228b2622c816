#include "game/title_screen.h"

#include "core/game_state.h"
#include "core/numbers.h"
#include "core/random.h"
#include "game/windows.h"
#include "gameplay/ship.h"
#include "platform/platform.h"

namespace vorlax {

void NewGameReset() {
    DisplayWindow& display = DisplayForm();
    Form& form = display.form;
    const double width = form.ClientWidth();
    const double height = form.ClientHeight();

    // Centre the title labels for the current width; their tops stay.
    for (Label* label : display.TitleLabels()) {
        label->SetLeft(Nearest(width / 2.0 - label->Width() / 2.0));
    }
    // The tagline is left as it is: shown on the first title screen, and
    // hidden for good once a game has started.
    display.Label1->SetVisible(true);
    display.Label2->SetVisible(true);
    display.Label3->SetVisible(false);
    display.Label4->SetVisible(true);
    display.Label5->SetVisible(true);
    for (TextBox* box : display.StripBoxes()) box->SetVisible(false);

    G.BackColour = RGB(1, 0, 1);
    form.SetBackColor(G.BackColour);
    form.Cls();
    form.SetFocus();

    PlaceShipAtStart();
    G.ShipStepX = kShipStep;
    G.ShipStepY = kShipStep;
    G.GameRunning = False;

    for (int s = 1; s <= kShotSlots; ++s) G.ShotActive[s] = False;
    for (int e = 1; e <= kFiringEnemies; ++e) {
        for (int s = 1; s <= kEnemyShotSlots; ++s) G.EnemyShotActive(e, s) = False;
    }
    G.ShotColour = G.ColRed;
    G.EnemyShotColour = G.ColYellow;

    Reseed();
    // Stars start below the head-up strip, possibly below the bottom edge,
    // where they stay unseen until they wrap.
    for (int i = decltype(G.Stars)::lower; i <= decltype(G.Stars)::upper; ++i) {
        Star& star = G.Stars[i];
        const double r1 = RandomDraw();
        const double r2 = RandomDraw();
        const double r3 = RandomDraw();
        const double r4 = RandomDraw();
        star.X = Nearest(width * r1 + 1);
        star.Y = Nearest(height * r2 + 1 + kPlayFieldTop);
        star.Size = Nearest(2 * r3 + 1);
        star.Speed = Nearest(5 * r4 + 1);
        star.Colour = G.ColWhite;
    }

    G.Level = 1;
    G.Wave = 1;
    G.WaveSetup = True;
    G.EnemyCount = 3;
    G.CurrentShip = 1;
    G.ShipsEarned = 3;
    G.ShieldOn = True;
    G.SpawnTick = TickCount();
    G.FrameInterval = 10;
    G.Score = 0;
    G.BonusPoints = 0;
    G.NewEntryRank = 0;
    G.CarrierCalled = False;
    G.CarrierActive = False;
    G.CarrierSpeed = 0.75;
    G.Energy = kFullEnergy;
    G.Paused = False;
    G.GameEnded = false;
}

}  // namespace vorlax
