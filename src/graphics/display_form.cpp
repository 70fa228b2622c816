#include "graphics/display_form.h"

#include <cassert>

#include "core/game_state.h"

namespace vorlax {
namespace {

DisplayWindow* displayForm = nullptr;

constexpr Colour kYellow = RGB(255, 255, 0);
constexpr Colour kBlack = RGB(0, 0, 0);
constexpr Colour kLightGreen = RGB(128, 255, 128);
constexpr Font kStripFont{15.75, true};
constexpr Font kTitleFont{72.0, true};
constexpr Font kPromptFont{24.0, true};

TextBox* StripBox(Form& form, const char* name, const char* text, int left, int width,
                  Align align) {
    // The strip fills the rows above the play field.
    auto& box = form.Add<TextBox>(name, left, 0, width, kPlayFieldTop);
    box.SetText(text);
    box.SetFont(kStripFont);
    box.SetForeColor(kYellow);
    box.SetBackColor(kBlack);
    box.SetAlignment(align);
    box.SetTabStop(false);  // shows values; never takes the keyboard
    return &box;
}

Label* TitleLabel(Form& form, const char* name, const char* caption, int left, int top, int width,
                  int height, Font font, Colour colour) {
    auto& label = form.Add<Label>(name, left, top, width, height);
    label.SetCaption(caption);
    label.SetFont(font);
    label.SetForeColor(colour);
    label.SetTransparent(true);
    label.SetAlignment(Align::Centre);
    return &label;
}

}  // namespace

DisplayWindow::DisplayWindow()
    : form("DisplayForm", kGameCaption, kDisplayClientWidth, kDisplayClientHeight) {
    form.SetFillStyle(FillStyle::Solid);
    form.SetBackColor(kBlack);
    form.Cls();

    // Left to right along the top edge; neighbours overlap by a pixel here
    // and there, and the last box ends exactly at the right edge.
    Text4 = StripBox(form, "Text4", "Level:", 0, 65, Align::Left);
    Text3 = StripBox(form, "Text3", "1", 64, 41, Align::Centre);
    Text5 = StripBox(form, "Text5", "Wave:", 112, 65, Align::Left);
    Text6 = StripBox(form, "Text6", "1", 176, 41, Align::Centre);
    Text8 = StripBox(form, "Text8", "Score:", 248, 65, Align::Left);
    Text7 = StripBox(form, "Text7", "0", 320, 113, Align::Centre);
    Text10 = StripBox(form, "Text10", "Energy:", 464, 89, Align::Left);
    Text9 = StripBox(form, "Text9", "1000", 552, 65, Align::Centre);
    Text1 = StripBox(form, "Text1", "Lives Left:", 632, 129, Align::Left);
    Text2 = StripBox(form, "Text2", "3", 744, 41, Align::Centre);

    Label1 = TitleLabel(form, "Label1", "VORLAX", 88, 48, 417, 105, kTitleFont, kYellow);
    Label6 = TitleLabel(form, "Label6",
                        "In Space No One Can Hear You Scream!  Or Hear Anything For That Matter.",
                        88, 200, 401, 121, kPromptFont, kLightGreen);
    Label6->SetWordWrap(true);
    Label2 = TitleLabel(form, "Label2", "Press F1 - Help - Controls", 72, 376, 433, 41, kPromptFont,
                        kYellow);
    Label4 =
        TitleLabel(form, "Label4", "Press F2 - New Game", 112, 416, 337, 57, kPromptFont, kYellow);
    Label5 = TitleLabel(form, "Label5", "Press F3 - High Scores", 80, 456, 401, 57, kPromptFont,
                        kYellow);
    Label3 = TitleLabel(form, "Label3", "Press Shift for Energy Carrier", 8, 512, 561, 41,
                        kPromptFont, kYellow);

    // On the first title screen the scratch picture still stands at its
    // designed place; it takes the background colour so nobody notices it.
    auto& pict = form.Add<PictureBox>("CollisionPict", 640, 40, 129, 89);
    pict.SetBackColor(RGB(1, 0, 1));
    pict.SetTabStop(false);
    pict.Cls();
    CollisionPict = &pict;
}

std::array<TextBox*, 10> DisplayWindow::StripBoxes() const {
    return {Text1, Text2, Text3, Text4, Text5, Text6, Text7, Text8, Text9, Text10};
}

std::array<Label*, 6> DisplayWindow::TitleLabels() const {
    return {Label1, Label2, Label3, Label4, Label5, Label6};
}

DisplayWindow& DisplayForm() {
    assert(displayForm != nullptr && "the windows have not been made");
    return *displayForm;
}

void SetDisplayForm(DisplayWindow* window) {
    displayForm = window;
}

}  // namespace vorlax
