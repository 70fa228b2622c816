#include "game/startup.h"

#include <exception>

#include "core/game_state.h"
#include "game/windows.h"
#include "graphics/sprites.h"
#include "platform/platform.h"
#include "scores/high_scores.h"
#include "scores/score_form.h"

namespace vorlax {
namespace {

bool startupFailed = false;

// A failed start-up ends the program with status 1, so a launcher or script
// can tell it from a normal quit.
int ExitStatus() {
    return startupFailed ? 1 : 0;
}

}  // namespace

void Main() {
    startupFailed = false;
    try {
        // Each bitmap must have exactly the size it is drawn at.
        G.ShipDC = LoadSpriteDC(ProgramFile(kShipFile), kShipWidth, kShipHeight);
        G.ShipMaskDC = LoadSpriteDC(ProgramFile(kShipMaskFile), kShipWidth, kShipHeight);
        G.CarrierDC = LoadSpriteDC(ProgramFile(kCarrierFile), kCarrierWidth, kCarrierHeight);
        G.CarrierMaskDC =
            LoadSpriteDC(ProgramFile(kCarrierMaskFile), kCarrierWidth, kCarrierHeight);
        for (int n = 1; n <= kEnemyTypes; ++n) {
            const int w = kEnemyWidths[n], h = kEnemyHeights[n];
            G.EnemySpriteDC[n] = LoadSpriteDC(ProgramFile(EnemyShipFile(n)), w, h);
            G.EnemyMaskDC[n] = LoadSpriteDC(ProgramFile(EnemyMaskFile(n)), w, h);
        }
        FillEnemySizes();
        SetPalette();
        ReadHighScores();
        // Without a font the windows would show no text at all.
        CurrentPlatform().CheckFonts();
        DisplayForm().form.Show();
    } catch (const std::exception& error) {
        startupFailed = true;
        CurrentPlatform().MessageBox(error.what(), kGameCaption);
        Shutdown();
    }
}

void FreeGameSprites() {
    FreeSpriteDC(G.ShipDC);
    FreeSpriteDC(G.ShipMaskDC);
    FreeSpriteDC(G.CarrierDC);
    FreeSpriteDC(G.CarrierMaskDC);
    for (int n = 1; n <= kEnemyTypes; ++n) {
        FreeSpriteDC(G.EnemySpriteDC[n]);
        FreeSpriteDC(G.EnemyMaskDC[n]);
    }
}

void Shutdown() {
    // A table changed since the high-score window opened is saved, not lost.
    CloseScoreFormAtProgramEnd();
    FreeGameSprites();
    // Runs the unload handler, unless the window is already closing (or was
    // never opened, after a failed start-up).
    DisplayForm().form.Unload();
}

void DisplayFormUnload() {
    G.GameRunning = False;
    Shutdown();
    CurrentPlatform().End(ExitStatus());
}

int RunGame() {
    try {
        CreateWindows();
        Main();
        CurrentPlatform().RunEventLoop();
    } catch (const ProgramEnd& end) {
        DestroyWindows();
        return end.status;
    }
    DestroyWindows();
    return ExitStatus();
}

}  // namespace vorlax
