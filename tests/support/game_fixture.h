// A test fixture for the whole game on the headless platform: its windows,
// and a program folder holding a copy of the delivered assets.
#pragma once

#include "game/startup.h"
#include "game/windows.h"
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
        FreeGameSprites();
    }

    TempFolder folder;
};

}  // namespace vorlax::testing
