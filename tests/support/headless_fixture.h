// A test fixture with a fresh headless platform and a fresh game state.
#pragma once

#include <gtest/gtest.h>

#include "core/game_state.h"
#include "platform/headless_platform.h"

namespace vorlax::testing {

class HeadlessTest : public ::testing::Test {
  protected:
    HeadlessTest() {
        SetCurrentPlatform(&platform);
        G = GameState{};
    }
    ~HeadlessTest() override {
        SetCurrentPlatform(nullptr);
        G = GameState{};
    }

    HeadlessPlatform platform;
};

}  // namespace vorlax::testing
