// The help window: the game's controls, four arrow keys shown as pictures and
// three keys by name, each with what it does.
#pragma once

#include <array>

#include "platform/form.h"

namespace vorlax {

inline constexpr int kHelpClientWidth = 473;
inline constexpr int kHelpClientHeight = 466;

struct HelpWindow {
    HelpWindow();

    Form form;

    Label* Label1;  // "VORLAX"
    // The arrow keys: right, left, up, down. Picture1 holds the keyboard
    // focus and takes Esc.
    PictureBox* Picture1;
    PictureBox* Picture2;
    PictureBox* Picture3;
    PictureBox* Picture4;
    Label* Label2;   // "Move Ship Forward"
    Label* Label3;   // "Move Ship Backward"
    Label* Label4;   // "Move Ship Up"
    Label* Label5;   // "Move Ship Down"
    Label* Label7;   // "SPACE"
    Label* Label6;   // what space does
    Label* Label9;   // "CTRL"
    Label* Label10;  // what Ctrl does
    Label* Label11;  // "SHIFT"
    Label* Label12;  // what Shift does
    Label* Label8;   // the credit
    Label* Label13;  // "Press ESC to Exit Help"

    std::array<PictureBox*, 4> KeyPictures() const;
};

// The help window of this process, made and registered by the game's window set-up.
HelpWindow& HelpForm();
void SetHelpForm(HelpWindow* window);

// The window's handlers.
// Resize (also when first shown): Picture1 takes the focus.
void HelpFormResize();
// Esc in Picture1 hides the window and gives the display window the focus.
void HelpPictureKeyDown(int key);
// Unload: the display window takes the focus.
void HelpFormUnload();

}  // namespace vorlax
