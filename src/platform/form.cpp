#include "platform/form.h"

#include <algorithm>
#include <cmath>

#include "platform/keys.h"
#include "platform/platform.h"

namespace vorlax {

int Font::PixelSize() const {
    return static_cast<int>(std::lround(SizePt * 96.0 / 72.0));
}

// ---------------------------------------------------------------- Control

Control::Control(Form& parent, std::string name, int left, int top, int width, int height)
    : parent_(parent),
      name_(std::move(name)),
      left_(left),
      top_(top),
      width_(std::max(0, width)),
      height_(std::max(0, height)) {}

void Control::Touch() {
    parent_.Touch();
}

void Control::SetLeft(int left) {
    if (left_ == left) return;
    left_ = left;
    Touch();
}

void Control::SetTop(int top) {
    if (top_ == top) return;
    top_ = top;
    Touch();
}

void Control::SetSize(int width, int height) {
    width_ = std::max(0, width);
    height_ = std::max(0, height);
    Resized();
    Touch();
}

void Control::SetVisible(bool visible) {
    if (visible_ == visible) return;
    visible_ = visible;
    if (!visible_) parent_.FocusLost(*this);
    Touch();
}

void Control::SetEnabled(bool enabled) {
    if (enabled_ == enabled) return;
    enabled_ = enabled;
    if (!enabled_) parent_.FocusLost(*this);
    Touch();
}

void Control::SetTabStop(bool tabStop) {
    tabStop_ = tabStop;
}

void Control::SetFocus() {
    // Labels never take the focus; neither do hidden, disabled or
    // non-focusable controls.
    if (Kind() == ControlKind::Label || !visible_ || !enabled_ || !tabStop_) return;
    parent_.SetFocusedControl(this);
    if (parent_.Visible()) parent_.SetFocus();
}

bool Control::HasFocus() const {
    return parent_.FocusedControl() == this && parent_.IsActive();
}

void Control::SetFont(Font font) {
    font_ = font;
    Touch();
}

void Control::SetForeColor(Colour c) {
    foreColor_ = c;
    Touch();
}

void Control::SetBackColor(Colour c) {
    backColor_ = c;
    Touch();
}

void Control::SetTransparent(bool transparent) {
    transparent_ = transparent;
    Touch();
}

void Control::SetAlignment(Align a) {
    alignment_ = a;
    Touch();
}

void Label::SetCaption(std::string caption) {
    if (caption_ == caption) return;
    caption_ = std::move(caption);
    Touch();
}

void Label::SetWordWrap(bool wrap) {
    wordWrap_ = wrap;
    Touch();
}

void TextBox::SetText(std::string text) {
    if (text_ == text) return;
    text_ = std::move(text);
    Touch();
}

void TextBox::Type(const std::string& utf8) {
    text_ += utf8;
    Touch();
}

void TextBox::Backspace() {
    if (text_.empty()) return;
    // Remove one whole UTF-8 character: continuation bytes are 10xxxxxx.
    std::size_t end = text_.size() - 1;
    while (end > 0 && (static_cast<unsigned char>(text_[end]) & 0xC0) == 0x80) --end;
    text_.erase(end);
    Touch();
}

PictureBox::PictureBox(Form& parent, std::string name, int left, int top, int width, int height)
    : Control(parent, std::move(name), left, top, width, height),
      image_(std::max(0, width), std::max(0, height), BackColor()) {}

void PictureBox::Resized() {
    Surface resized(Width(), Height(), BackColor());
    BitBlt(resized, 0, 0, image_.Width(), image_.Height(), &image_, 0, 0, SRCCOPY);
    image_ = std::move(resized);
}

void PictureBox::Cls() {
    image_.Fill(BackColor());
    Touch();
}

void PictureBox::Refresh() {
    // Its image is shown with the form. Out of sight (beyond the client area,
    // as the collision scratch picture is during play) there is nothing to show.
    Form& form = Parent();
    const bool inside = Visible() && Left() < form.ClientWidth() && Top() < form.ClientHeight() &&
                        Left() + Width() > 0 && Top() + Height() > 0;
    if (inside) form.Refresh();
}

// ---------------------------------------------------------------- Form

Form::Form(std::string name, std::string caption, int clientWidth, int clientHeight)
    : name_(std::move(name)),
      caption_(std::move(caption)),
      image_(std::max(0, clientWidth), std::max(0, clientHeight), 0) {}

Form::~Form() {
    if (HasPlatform()) {
        Platform& p = CurrentPlatform();
        auto& open = p.OpenForms();
        if (std::find(open.begin(), open.end(), this) != open.end()) p.CloseForm(*this);
    }
}

void Form::SetClientSize(int width, int height) {
    width = std::max(0, width);
    height = std::max(0, height);
    if (width == image_.Width() && height == image_.Height()) return;
    Surface resized(width, height, backColor_);
    BitBlt(resized, 0, 0, image_.Width(), image_.Height(), &image_, 0, 0, SRCCOPY);
    image_ = std::move(resized);
    Touch();
    if (visible_) {
        CurrentPlatform().ResizeForm(*this);
        if (OnResize) OnResize();
    }
}

void Form::SetBackColor(Colour c) {
    backColor_ = c;
    Touch();
}

void Form::Cls() {
    image_.Fill(backColor_);
    Touch();
}

void Form::DrawEllipse(int left, int top, int right, int bottom) {
    Ellipse(image_, left, top, right, bottom, foreColor_, fillColor_, fillStyle_);
    Touch();
}

void Form::DrawLine(int x1, int y1, int x2, int y2, Colour colour) {
    vorlax::DrawLine(image_, x1, y1, x2, y2, colour);
    Touch();
}

void Form::Refresh() {
    if (visible_) CurrentPlatform().PresentForm(*this);
}

void Form::Show() {
    if (!loaded_) {
        loaded_ = true;
        if (OnLoad) OnLoad();
        if (!loaded_) return;  // the load handler unloaded the form again
    }
    if (!visible_) {
        visible_ = true;
        Touch();
        CurrentPlatform().ShowForm(*this);
        if (!resizedOnce_) {
            // The window system reports the first size of a newly shown window.
            resizedOnce_ = true;
            if (OnResize) OnResize();
        }
    } else {
        CurrentPlatform().ActivateForm(*this);
    }
}

void Form::Hide() {
    if (!visible_) return;
    visible_ = false;
    CurrentPlatform().HideForm(*this);
}

void Form::Unload() {
    if (!loaded_ || unloading_) return;
    unloading_ = true;
    // The handler runs first; it may end the program, in which case the
    // platform closes every window itself.
    if (OnUnload) OnUnload();
    if (visible_ || resizedOnce_) CurrentPlatform().CloseForm(*this);
    visible_ = false;
    loaded_ = false;
    resizedOnce_ = false;
    focused_ = nullptr;
    unloading_ = false;
}

void Form::SetFocus() {
    if (!visible_) return;
    CurrentPlatform().ActivateForm(*this);
}

bool Form::IsActive() const {
    return HasPlatform() && CurrentPlatform().ActiveForm() == this;
}

void Form::SetFocusedControl(Control* control) {
    if (focused_ == control) return;
    focused_ = control;
    Touch();
    if (HasPlatform()) CurrentPlatform().FocusChanged(*this);
}

void Form::FocusLost(Control& control) {
    if (focused_ == &control) SetFocusedControl(nullptr);
}

void Form::DeliverKeyDown(int key) {
    // Remember who had the focus: the form's own handler may move it, start
    // a whole game, or unload the form.
    Control* target = focused_;
    if (OnKeyDown) OnKeyDown(key);
    if (!loaded_ || target == nullptr || focused_ != target) return;
    if (target->OnKeyDown) target->OnKeyDown(key);
    if (!loaded_ || focused_ != target) return;
    if (key == VK_BACK && target->Kind() == ControlKind::TextBox && target->Enabled() &&
        target->Visible()) {
        static_cast<TextBox*>(target)->Backspace();
    }
}

void Form::DeliverText(const std::string& utf8) {
    Control* target = focused_;
    if (target == nullptr || target->Kind() != ControlKind::TextBox) return;
    if (!target->Enabled() || !target->Visible()) return;
    static_cast<TextBox*>(target)->Type(utf8);
}

}  // namespace vorlax
