// The SDL backend's keyboard: the table between key positions and the game's
// key codes, the held-key poll (keyboard and gamepads together), key and text
// events, the presentation's own keys, and when typed text is on.
#include <SDL.h>

#include <algorithm>

#include "platform/sdl_internal.h"
#include "platform/sdl_platform.h"

namespace vorlax {
namespace sdl {

const std::vector<KeyEntry>& KeyTable() {
    static const std::vector<KeyEntry> table = [] {
        std::vector<KeyEntry> t = {
            {VK_BACK, SDL_SCANCODE_BACKSPACE},
            {VK_TAB, SDL_SCANCODE_TAB},
            {VK_RETURN, SDL_SCANCODE_RETURN},
            {VK_RETURN, SDL_SCANCODE_KP_ENTER},
            {VK_SHIFT, SDL_SCANCODE_LSHIFT},
            {VK_SHIFT, SDL_SCANCODE_RSHIFT},
            {VK_CONTROL, SDL_SCANCODE_LCTRL},
            {VK_CONTROL, SDL_SCANCODE_RCTRL},
            {VK_MENU, SDL_SCANCODE_LALT},
            {VK_MENU, SDL_SCANCODE_RALT},
            {VK_PAUSE, SDL_SCANCODE_PAUSE},
            {VK_CAPITAL, SDL_SCANCODE_CAPSLOCK},
            {VK_ESCAPE, SDL_SCANCODE_ESCAPE},
            {VK_SPACE, SDL_SCANCODE_SPACE},
            {VK_PRIOR, SDL_SCANCODE_PAGEUP},
            {VK_NEXT, SDL_SCANCODE_PAGEDOWN},
            {VK_END, SDL_SCANCODE_END},
            {VK_HOME, SDL_SCANCODE_HOME},
            {VK_LEFT, SDL_SCANCODE_LEFT},
            {VK_UP, SDL_SCANCODE_UP},
            {VK_RIGHT, SDL_SCANCODE_RIGHT},
            {VK_DOWN, SDL_SCANCODE_DOWN},
            {VK_INSERT, SDL_SCANCODE_INSERT},
            {VK_DELETE, SDL_SCANCODE_DELETE},
            {VK_MULTIPLY, SDL_SCANCODE_KP_MULTIPLY},
            {VK_ADD, SDL_SCANCODE_KP_PLUS},
            {VK_SUBTRACT, SDL_SCANCODE_KP_MINUS},
            {VK_DECIMAL, SDL_SCANCODE_KP_PERIOD},
            {VK_DIVIDE, SDL_SCANCODE_KP_DIVIDE},
            {VK_OEM_1, SDL_SCANCODE_SEMICOLON},
            {VK_OEM_PLUS, SDL_SCANCODE_EQUALS},
            {VK_OEM_COMMA, SDL_SCANCODE_COMMA},
            {VK_OEM_MINUS, SDL_SCANCODE_MINUS},
            {VK_OEM_PERIOD, SDL_SCANCODE_PERIOD},
            {VK_OEM_2, SDL_SCANCODE_SLASH},
            {VK_OEM_3, SDL_SCANCODE_GRAVE},
            {VK_OEM_4, SDL_SCANCODE_LEFTBRACKET},
            {VK_OEM_5, SDL_SCANCODE_BACKSLASH},
            {VK_OEM_6, SDL_SCANCODE_RIGHTBRACKET},
            {VK_OEM_7, SDL_SCANCODE_APOSTROPHE},
        };
        // SDL numbers the digit row 1..9 then 0; the game numbers them '0'..'9'.
        t.push_back({'0', SDL_SCANCODE_0});
        for (int d = 1; d <= 9; ++d) t.push_back({'0' + d, SDL_SCANCODE_1 + (d - 1)});
        for (int l = 0; l < 26; ++l) t.push_back({'A' + l, SDL_SCANCODE_A + l});
        // The keypad likewise runs 1..9 then 0.
        t.push_back({VK_NUMPAD0, SDL_SCANCODE_KP_0});
        for (int d = 1; d <= 9; ++d) t.push_back({VK_NUMPAD0 + d, SDL_SCANCODE_KP_1 + (d - 1)});
        for (int f = 0; f < 12; ++f) t.push_back({VK_F1 + f, SDL_SCANCODE_F1 + f});
        return t;
    }();
    return table;
}

}  // namespace sdl

using sdl::KeyEntry;
using sdl::KeyTable;

int VirtualKeyForScancode(int scancode) {
    for (const KeyEntry& e : KeyTable())
        if (e.scancode == scancode) return e.vk;
    return 0;
}

std::int16_t SdlPlatform::GetKeyState(int vk) {
    if (PadHolds(vk)) return static_cast<std::int16_t>(-128);
    int count = 0;
    const Uint8* state = SDL_GetKeyboardState(&count);
    for (const KeyEntry& e : KeyTable()) {
        if (e.vk == vk && e.scancode < count && state[e.scancode]) {
            return static_cast<std::int16_t>(-128);
        }
    }
    return 0;
}

// F11 and Alt+Enter switch the game's main window between fullscreen and
// windowed, whichever window they are pressed in: the help and high-score
// windows keep their size and stay in front of it. They belong to the
// presentation, not to the game, so the game never sees them (F11 would
// otherwise resume a paused game, and Enter would confirm a name being typed).
bool SdlPlatform::PresentationKey(const SDL_Event& event) {
    const SDL_Scancode key = event.key.keysym.scancode;
    const bool alt = (event.key.keysym.mod & KMOD_ALT) != 0;
    const bool toggle = key == SDL_SCANCODE_F11 ||
                        (alt && (key == SDL_SCANCODE_RETURN || key == SDL_SCANCODE_KP_ENTER));
    if (!toggle) return false;
    // A held key repeats; switching back and forth with it would only flicker.
    if (event.key.repeat == 0) {
        if (mainForm_ != nullptr) ToggleFullscreen(*mainForm_);
        for (Form* form : open_)
            if (form != mainForm_ && form->Visible()) OnActivate(*form);
        if (active_ != nullptr) OnActivate(*active_);
    }
    return true;
}

void SdlPlatform::HandleEvent(const SDL_Event& event) {
    switch (event.type) {
        case SDL_KEYDOWN: {
            if (PresentationKey(event)) break;
            // Auto-repeats arrive as further key-downs, as the game expects.
            int vk = VirtualKeyForScancode(event.key.keysym.scancode);
            if (vk != 0 && active_ != nullptr) HandKeyDown(*active_, vk);
            break;
        }
        case SDL_TEXTINPUT:
            if (active_ != nullptr) HandText(*active_, event.text.text);
            break;
        case SDL_WINDOWEVENT:
            HandleWindowEvent(event);
            break;
        case SDL_QUIT:
            // Interrupted or terminated: close the windows as the player would.
            HandQuit();
            break;
        case SDL_CONTROLLERDEVICEADDED:
        case SDL_CONTROLLERDEVICEREMOVED:
        case SDL_CONTROLLERBUTTONDOWN:
        case SDL_CONTROLLERBUTTONUP:
        case SDL_CONTROLLERAXISMOTION:
            HandlePadEvent(event);
            break;
        case SDL_DROPFILE:
        case SDL_DROPTEXT:
            SDL_free(event.drop.file);
            break;
        default:
            break;
    }
}

// Typed-text events only while the active form's focus is on a text box that
// can take them.
void SdlPlatform::UpdateTextInput(const Form* leaving) {
    const Form* form = active_ == leaving ? nullptr : active_;
    bool want = false;
    if (form != nullptr && form->Visible()) {
        const Control* c = form->FocusedControl();
        want = c != nullptr && c->Kind() == ControlKind::TextBox && c->Enabled() && c->Visible();
    }
    if (want == static_cast<bool>(SDL_IsTextInputActive())) return;
    if (want)
        SDL_StartTextInput();
    else
        SDL_StopTextInput();
}

void SdlPlatform::FocusChanged(Form& form) {
    (void)form;
    UpdateTextInput();
}

}  // namespace vorlax
