// The gamepad's keys: which of the game's keys each button and the stick
// hold down, the stick's two thresholds, and which holds count as presses.
#include "platform/pad.h"

#include <gtest/gtest.h>

#include "platform/keys.h"

namespace vorlax {
namespace {

std::vector<int> Held(const HeldKeys& keys) {
    return NewlyHeld({}, keys);
}

std::vector<int> Stick(int x, int y, std::initializer_list<int> heldBefore = {}) {
    PadState s;
    s.leftX = x;
    s.leftY = y;
    HeldKeys before;
    for (int vk : heldBefore) before.set(static_cast<std::size_t>(vk));
    return Held(PadKeys(s, before));
}

TEST(PadKeys, EachButtonHoldsItsKeyAndTheStickHoldsFromHalfWayToThreeEighths) {
    const std::pair<PadButton, int> map[] = {{PadButton::A, VK_SPACE},
                                             {PadButton::B, VK_CONTROL},
                                             {PadButton::RightShoulder, VK_CONTROL},
                                             {PadButton::X, VK_SHIFT},
                                             {PadButton::LeftShoulder, VK_SHIFT},
                                             {PadButton::Start, VK_F2},
                                             {PadButton::Back, VK_P},
                                             {PadButton::DpadLeft, VK_LEFT},
                                             {PadButton::DpadRight, VK_RIGHT},
                                             {PadButton::DpadUp, VK_UP},
                                             {PadButton::DpadDown, VK_DOWN},
                                             {PadButton::Y, 0}};
    for (const auto& [button, key] : map) {
        PadState s;
        s.Press(button);
        EXPECT_EQ(Held(PadKeys(s, {})), key ? std::vector<int>{key} : std::vector<int>{})
            << "button " << static_cast<int>(button);
    }
    EXPECT_EQ(Stick(kStickPress, 0), std::vector<int>{VK_RIGHT});
    EXPECT_EQ(Stick(kStickPress - 1, 0), std::vector<int>{});
    EXPECT_EQ(Stick(0, -kStickPress), std::vector<int>{VK_UP});  // y grows downwards
    EXPECT_EQ(Stick(-32768, 0), std::vector<int>{VK_LEFT});
    // Held already: it stays held down to the lower threshold, the arrow's own.
    EXPECT_EQ(Stick(kStickRelease, 0, {VK_RIGHT}), std::vector<int>{VK_RIGHT});
    EXPECT_EQ(Stick(kStickRelease - 1, 0, {VK_RIGHT}), std::vector<int>{});
    EXPECT_EQ(Stick(-kStickRelease, 0, {VK_RIGHT}), std::vector<int>{});
}

}  // namespace
}  // namespace vorlax
