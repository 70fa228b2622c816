// A test fixture for the whole game on the headless platform: its windows,
// and a program folder holding a copy of the delivered assets.
#pragma once

#include "core/startup.h"
#include "core/windows.h"
#include "graphics/sprites.h"
#include "support/headless_fixture.h"
#include "support/temp_folder.h"

namespace vorlax::testing {

class GameTest : public HeadlessTest {
protected:
    GameTest() {
        folder.CopyAssets();
        platform.SetProgramFolder(folder.Path().string());
        platform.SetTick(100000);
        CreateWindows();
    }
    ~GameTest() override {
        DestroyWindows();
        FreeAllSurfaces();
    }

    // Frees whatever a test left loaded, so the next test starts with none.
    static void FreeAllSurfaces() {
        FreeSpriteDC(G.ShipDC);
        FreeSpriteDC(G.ShipMaskDC);
        FreeSpriteDC(G.CarrierDC);
        FreeSpriteDC(G.CarrierMaskDC);
        for (int n = 1; n <= kEnemyTypes; ++n) {
            FreeSpriteDC(G.EnemySpriteDC[n]);
            FreeSpriteDC(G.EnemyMaskDC[n]);
        }
    }

    // Runs Main; returns the ProgramEnd status if the program ended inside it.
    void StartGame() { Main(); }

    TempFolder folder;
};

}  // namespace vorlax::testing
