#include "scores/help_form.h"

#include <cassert>

#include "graphics/display_form.h"
#include "platform/keys.h"
#include "scores/key_pictures.h"

namespace vorlax {
namespace {

HelpWindow* current = nullptr;

constexpr Colour kYellow = RGB(255, 255, 0);
constexpr Colour kBlack = RGB(0, 0, 0);
constexpr Font kTextFont{14.25, false};
constexpr int kKeyBox = kKeyPictureSize + 1;  // a key picture in a box a pixel larger

Label* TextLabel(Form& form, const char* name, const char* caption, int left, int top, int width,
                 int height, Align align = Align::Left, Font font = kTextFont) {
    auto& label = form.Add<Label>(name, left, top, width, height);
    label.SetCaption(caption);
    label.SetFont(font);
    label.SetForeColor(kYellow);
    label.SetBackColor(kBlack);
    label.SetTransparent(true);  // the lines of the page show through
    label.SetAlignment(align);
    label.SetWordWrap(true);  // a caption too long for one line takes two
    return &label;
}

PictureBox* KeyPictureBox(Form& form, const char* name, int top, ArrowKey key) {
    auto& box = form.Add<PictureBox>(name, 40, top, kKeyBox, kKeyBox);
    box.SetBackColor(kBlack);
    box.Cls();
    const Surface& picture = KeyPicture(key);
    BitBlt(box.Image(), 0, 0, picture.Width(), picture.Height(), &picture, 0, 0, SRCCOPY);
    return &box;
}

}  // namespace

HelpWindow& HelpForm() {
    assert(current != nullptr && "the windows have not been made");
    return *current;
}

void SetHelpForm(HelpWindow* window) {
    current = window;
}

HelpWindow::HelpWindow()
    : form("HelpForm", "Help / Controls", kHelpClientWidth, kHelpClientHeight) {
    form.SetBackColor(kBlack);
    form.Cls();
    // The rules: under the title, between the keys and what they do, under
    // the key rows and above the prompt. The horizontal ones run on past the
    // right edge.
    form.DrawLine(0, 40, 480, 40, kYellow);
    form.DrawLine(152, 40, 152, 368, kYellow);
    form.DrawLine(0, 368, 480, 368, kYellow);
    form.DrawLine(0, 416, 480, 416, kYellow);

    Label1 = TextLabel(form, "Label1", "VORLAX", 56, 8, 313, 41, Align::Centre);
    Picture1 = KeyPictureBox(form, "Picture1", 56, ArrowKey::Right);
    Label2 = TextLabel(form, "Label2", "Move Ship Forward", 176, 64, 225, 41);
    Picture2 = KeyPictureBox(form, "Picture2", 104, ArrowKey::Left);
    Label3 = TextLabel(form, "Label3", "Move Ship Backward", 176, 112, 225, 41);
    Picture3 = KeyPictureBox(form, "Picture3", 152, ArrowKey::Up);
    Label4 = TextLabel(form, "Label4", "Move Ship Up", 176, 160, 225, 41);
    Picture4 = KeyPictureBox(form, "Picture4", 208, ArrowKey::Down);
    Label5 = TextLabel(form, "Label5", "Move Ship Down", 176, 208, 225, 41);
    Label7 = TextLabel(form, "Label7", "SPACE", 40, 256, 89, 41);
    Label6 = TextLabel(form, "Label6", "Fire (Depletes Energy 1 per Shot)", 176, 256, 289, 41);
    Label9 = TextLabel(form, "Label9", "CTRL", 40, 288, 89, 41);
    Label10 = TextLabel(form, "Label10", "Shield (Depletes Energy Fast)", 176, 288, 273, 41);
    Label11 = TextLabel(form, "Label11", "SHIFT", 40, 328, 89, 41);
    Label12 =
        TextLabel(form, "Label12", "Calls Energy Carrier at End of Each Wave", 176, 320, 273, 41);
    Label8 =
        TextLabel(form, "Label8", "A game by the VORLAX crew", 64, 384, 313, 25, Align::Centre);
    Label13 = TextLabel(form, "Label13", "Press ESC to Exit Help", 64, 432, 313, 25, Align::Centre,
                        Font{18.0, false});
}

std::array<PictureBox*, 4> HelpWindow::KeyPictures() const {
    return {Picture1, Picture2, Picture3, Picture4};
}

void HelpFormResize() {
    HelpForm().Picture1->SetFocus();
}

void HelpPictureKeyDown(int key) {
    if (key != VK_ESCAPE) return;
    HelpForm().form.Hide();
    DisplayForm().form.SetFocus();
}

void HelpFormUnload() {
    DisplayForm().form.SetFocus();
}

}  // namespace vorlax
