#include "platform/pad.h"

#include "platform/keys.h"

namespace vorlax {
namespace {

// Whether the stick holds the key of one direction: `value` is the stick's
// travel towards it (positive when pushed that way).
bool StickHolds(int value, bool heldBefore) {
    return value >= (heldBefore ? kStickRelease : kStickPress);
}

}  // namespace

HeldKeys PadKeys(const PadState& pad, const HeldKeys& before) {
    HeldKeys keys;
    auto hold = [&](int vk, bool down) {
        if (down) keys.set(static_cast<std::size_t>(vk));
    };
    auto was = [&](int vk) { return before.test(static_cast<std::size_t>(vk)); };
    hold(VK_LEFT, pad.Pressed(PadButton::DpadLeft) || StickHolds(-pad.leftX, was(VK_LEFT)));
    hold(VK_RIGHT, pad.Pressed(PadButton::DpadRight) || StickHolds(pad.leftX, was(VK_RIGHT)));
    hold(VK_UP, pad.Pressed(PadButton::DpadUp) || StickHolds(-pad.leftY, was(VK_UP)));
    hold(VK_DOWN, pad.Pressed(PadButton::DpadDown) || StickHolds(pad.leftY, was(VK_DOWN)));
    hold(VK_SPACE, pad.Pressed(PadButton::A));
    hold(VK_CONTROL, pad.Pressed(PadButton::B) || pad.Pressed(PadButton::RightShoulder));
    hold(VK_SHIFT, pad.Pressed(PadButton::X) || pad.Pressed(PadButton::LeftShoulder));
    hold(VK_F2, pad.Pressed(PadButton::Start));
    hold(VK_P, pad.Pressed(PadButton::Back));
    return keys;
}

std::vector<int> NewlyHeld(const HeldKeys& before, const HeldKeys& now) {
    std::vector<int> pressed;
    for (std::size_t vk = 0; vk < now.size(); ++vk)
        if (now.test(vk) && !before.test(vk)) pressed.push_back(static_cast<int>(vk));
    return pressed;
}

}  // namespace vorlax
