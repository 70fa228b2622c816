// The SDL backend's gamepads: any controller SDL knows (its GameController
// database, plus SDL_GAMECONTROLLERCONFIG), plugged in before or during the
// game. Each pad's buttons and left stick are read into the keys it holds
// (pad.h); the held-key poll sees them beside the keyboard's, and each key a
// pad takes hold of reaches the active window as a key press.
#include <SDL.h>

#include <cstdio>

#include "platform/sdl_platform.h"

namespace vorlax {
namespace {

struct ButtonEntry {
    SDL_GameControllerButton sdl;
    PadButton pad;
};

constexpr ButtonEntry kButtons[] = {
    {SDL_CONTROLLER_BUTTON_A, PadButton::A},
    {SDL_CONTROLLER_BUTTON_B, PadButton::B},
    {SDL_CONTROLLER_BUTTON_X, PadButton::X},
    {SDL_CONTROLLER_BUTTON_Y, PadButton::Y},
    {SDL_CONTROLLER_BUTTON_BACK, PadButton::Back},
    {SDL_CONTROLLER_BUTTON_START, PadButton::Start},
    {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, PadButton::LeftShoulder},
    {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, PadButton::RightShoulder},
    {SDL_CONTROLLER_BUTTON_DPAD_UP, PadButton::DpadUp},
    {SDL_CONTROLLER_BUTTON_DPAD_DOWN, PadButton::DpadDown},
    {SDL_CONTROLLER_BUTTON_DPAD_LEFT, PadButton::DpadLeft},
    {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, PadButton::DpadRight},
};

PadState ReadPad(SDL_GameController* controller) {
    PadState state;
    for (const ButtonEntry& b : kButtons)
        state.Press(b.pad, SDL_GameControllerGetButton(controller, b.sdl) != 0);
    state.leftX = SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_LEFTX);
    state.leftY = SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_LEFTY);
    return state;
}

}  // namespace

void SdlPlatform::StartPads() {
    // The game plays from the keyboard; a machine where pads cannot be read
    // just plays without them.
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
        std::fprintf(stderr, "vorlax: warning: gamepads cannot be used: %s\n", SDL_GetError());
        return;
    }
    padsStarted_ = true;
    // Pads already plugged in arrive as SDL_CONTROLLERDEVICEADDED events.
}

void SdlPlatform::StopPads() {
    for (auto& [id, pad] : pads_) SDL_GameControllerClose(pad.controller);
    pads_.clear();
    if (padsStarted_) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    padsStarted_ = false;
}

bool SdlPlatform::PadHolds(int vk) const {
    if (vk < 0 || vk >= static_cast<int>(HeldKeys().size())) return false;
    for (const auto& [id, pad] : pads_)
        if (pad.held.test(static_cast<std::size_t>(vk))) return true;
    return false;
}

void SdlPlatform::HandlePadEvent(const SDL_Event& event) {
    if (event.type == SDL_CONTROLLERDEVICEADDED) {
        // `which` is a device index here; the other events name the instance.
        SDL_GameController* controller = SDL_GameControllerOpen(event.cdevice.which);
        if (controller == nullptr) return;
        const SDL_JoystickID id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller));
        if (pads_.count(id) != 0) {
            SDL_GameControllerClose(controller);  // announced twice: already open
            return;
        }
        pads_[id].controller = controller;
        return;
    }
    const SDL_JoystickID instance = event.type == SDL_CONTROLLERAXISMOTION ? event.caxis.which
                                    : event.type == SDL_CONTROLLERDEVICEREMOVED
                                        ? event.cdevice.which
                                        : event.cbutton.which;
    auto it = pads_.find(instance);
    if (it == pads_.end()) return;
    if (event.type == SDL_CONTROLLERDEVICEREMOVED) {
        // Its keys are let go with it.
        SDL_GameControllerClose(it->second.controller);
        pads_.erase(it);
        return;
    }
    Pad& pad = it->second;
    const HeldKeys before = pad.held;
    pad.held = PadKeys(ReadPad(pad.controller), before);
    for (const int vk : NewlyHeld(before, pad.held)) {
        // A handler may start a whole game loop, close windows or end the
        // program; the pad may be gone when it returns.
        if (active_ != nullptr) active_->DeliverKeyDown(vk);
    }
}

}  // namespace vorlax
