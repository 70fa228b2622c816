// The display window: the play field, the head-up strip along its top, the
// title-screen labels and the hidden collision scratch picture.
#pragma once

#include <array>

#include "platform/form.h"

namespace vorlax {

// The display window's caption, which every message box of the game bears too.
inline constexpr const char* kGameCaption = "VORLAX";

inline constexpr int kDisplayClientWidth = 785;
inline constexpr int kDisplayClientHeight = 617;

struct DisplayWindow {
    DisplayWindow();

    Form form;

    // The head-up strip: captions (left-aligned) and values (centred).
    TextBox* Text1;   // "Lives Left:"
    TextBox* Text2;   // lives left
    TextBox* Text3;   // level
    TextBox* Text4;   // "Level:"
    TextBox* Text5;   // "Wave:"
    TextBox* Text6;   // wave
    TextBox* Text7;   // score
    TextBox* Text8;   // "Score:"
    TextBox* Text9;   // energy
    TextBox* Text10;  // "Energy:"

    // The title screen.
    Label* Label1;  // "VORLAX"
    Label* Label2;  // "Press F1 - Help - Controls"
    Label* Label3;  // "Press Shift for Energy Carrier" (between waves)
    Label* Label4;  // "Press F2 - New Game"
    Label* Label5;  // "Press F3 - High Scores"
    Label* Label6;  // the tagline

    // Scratch surface of the pixel-exact collision test, kept out of sight during play.
    PictureBox* CollisionPict;

    // Text1..Text10 and Label1..Label6 in number order.
    std::array<TextBox*, 10> StripBoxes() const;
    std::array<Label*, 6> TitleLabels() const;
};

// The display window of this process. The game's window set-up makes it and
// registers it here, so every layer above can reach it (the rules read its
// client size, a lost ship explodes on it) without knowing who made it.
DisplayWindow& DisplayForm();
void SetDisplayForm(DisplayWindow* window);

}  // namespace vorlax
