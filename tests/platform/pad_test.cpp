// The gamepad's keys: which of the game's keys each button and the stick
// hold down, the stick's two thresholds, and which holds count as presses.
#include "platform/pad.h"

#include <gtest/gtest.h>

#include "platform/keys.h"

namespace vorlax {
namespace {

std::vector<int> Held(const HeldKeys& keys) {
    std::vector<int> out;
    for (std::size_t vk = 0; vk < keys.size(); ++vk)
        if (keys.test(vk)) out.push_back(static_cast<int>(vk));
    return out;
}

PadState With(std::initializer_list<PadButton> buttons) {
    PadState s;
    for (PadButton b : buttons) s.Press(b);
    return s;
}

TEST(PadKeys, EachButtonHoldsItsKey) {
    const struct {
        PadButton button;
        int key;
    } map[] = {{PadButton::A, VK_SPACE},
               {PadButton::B, VK_CONTROL},
               {PadButton::RightShoulder, VK_CONTROL},
               {PadButton::X, VK_SHIFT},
               {PadButton::LeftShoulder, VK_SHIFT},
               {PadButton::Start, VK_F2},
               {PadButton::Back, VK_P},
               {PadButton::DpadLeft, VK_LEFT},
               {PadButton::DpadRight, VK_RIGHT},
               {PadButton::DpadUp, VK_UP},
               {PadButton::DpadDown, VK_DOWN}};
    for (const auto& m : map)
        EXPECT_EQ(Held(PadKeys(With({m.button}), {})), std::vector<int>{m.key})
            << "button " << static_cast<int>(m.button);
    EXPECT_TRUE(PadKeys(With({PadButton::Y}), {}).none()) << "Y has no key";
    EXPECT_TRUE(PadKeys(PadState{}, {}).none());
    // Several at once, as a player flying, firing and shielding would.
    EXPECT_EQ(Held(PadKeys(
                  With({PadButton::A, PadButton::B, PadButton::DpadUp, PadButton::DpadRight}), {})),
              (std::vector<int>{VK_CONTROL, VK_SPACE, VK_UP, VK_RIGHT}));
}

TEST(PadKeys, TheStickHoldsFromHalfWayAndLetsGoBelowThreeEighths) {
    auto stick = [](int x, int y, const HeldKeys& before = {}) {
        PadState s;
        s.leftX = x;
        s.leftY = y;
        return Held(PadKeys(s, before));
    };
    EXPECT_EQ(stick(kStickPress, 0), std::vector<int>{VK_RIGHT});
    EXPECT_EQ(stick(kStickPress - 1, 0), std::vector<int>{});
    EXPECT_EQ(stick(-kStickPress, 0), std::vector<int>{VK_LEFT});
    EXPECT_EQ(stick(-32768, 0), std::vector<int>{VK_LEFT});
    EXPECT_EQ(stick(0, -kStickPress), std::vector<int>{VK_UP});  // y grows downwards
    EXPECT_EQ(stick(0, 32767), std::vector<int>{VK_DOWN});
    // A diagonal push holds both arrows.
    EXPECT_EQ(stick(23170, -23170), (std::vector<int>{VK_UP, VK_RIGHT}));

    // Held already: it stays held down to the lower threshold.
    HeldKeys right;
    right.set(VK_RIGHT);
    EXPECT_EQ(stick(kStickRelease, 0, right), std::vector<int>{VK_RIGHT});
    EXPECT_EQ(stick(kStickRelease - 1, 0, right), std::vector<int>{});
    // The lower threshold is the arrow's own: holding right does not make
    // left easier.
    EXPECT_EQ(stick(-kStickRelease, 0, right), std::vector<int>{});
    HeldKeys up;
    up.set(VK_UP);
    EXPECT_EQ(stick(0, -kStickRelease, up), std::vector<int>{VK_UP});
    EXPECT_EQ(stick(0, -kStickRelease + 1, up), std::vector<int>{});
    // The D-pad and the stick together hold the arrow once.
    PadState both = With({PadButton::DpadRight});
    both.leftX = 30000;
    EXPECT_EQ(Held(PadKeys(both, {})), std::vector<int>{VK_RIGHT});
}

TEST(NewlyHeld, OnlyKeysTakenHoldOfArePresses) {
    HeldKeys before, now;
    before.set(VK_SPACE);
    before.set(VK_LEFT);
    now.set(VK_SPACE);  // still held: no press
    now.set(VK_P);
    now.set(VK_CONTROL);
    EXPECT_EQ(NewlyHeld(before, now), (std::vector<int>{VK_CONTROL, VK_P}));
    EXPECT_TRUE(NewlyHeld(now, now).empty());
    EXPECT_TRUE(NewlyHeld(now, {}).empty());
}

}  // namespace
}  // namespace vorlax
