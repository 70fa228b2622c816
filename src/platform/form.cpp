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
    ++revision_;
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
    if (text_ == text && caret_ == text_.size()) return;
    text_ = std::move(text);
    caret_ = text_.size();
    Touch();
}

std::size_t TextBox::NextChar(std::size_t pos) const {
    if (pos >= text_.size()) return text_.size();
    const std::size_t n = Utf8SequenceLength(std::string_view(text_).substr(pos));
    return pos + (n == 0 ? 1 : n);
}

// Walks from the start, so that stepping back lands exactly where stepping
// forward does, however malformed the text (names are short).
std::size_t TextBox::PreviousChar(std::size_t pos) const {
    std::size_t at = 0;
    for (std::size_t next = NextChar(at); next < pos; next = NextChar(at)) at = next;
    return at;
}

void TextBox::SetCaret(std::size_t pos) {
    pos = std::min(pos, text_.size());
    std::size_t at = 0;
    while (at < pos) {
        const std::size_t next = NextChar(at);
        if (next > pos) break;
        at = next;
    }
    if (caret_ == at) return;
    caret_ = at;
    Touch();
}

void TextBox::Type(const std::string& utf8) {
    std::string clean;
    std::string_view rest(utf8);
    while (!rest.empty()) {
        const std::size_t n = Utf8SequenceLength(rest);
        if (n == 0) {
            rest.remove_prefix(1);  // malformed: dropped
            continue;
        }
        const auto lead = static_cast<unsigned char>(rest[0]);
        // Line breaks, tabs and other control characters have no place in a
        // one-line name.
        const bool control = n == 1 && (lead < 0x20 || lead == 0x7F);
        if (!control) clean.append(rest.substr(0, n));
        rest.remove_prefix(n);
    }
    if (clean.empty()) return;
    text_.insert(caret_, clean);
    caret_ += clean.size();
    Touch();
}

// In text that is not UTF-8, taking a character out can join the stray bytes
// on either side into one; the caret then moves to that character's start.
void TextBox::Backspace() {
    if (caret_ == 0) return;
    const std::size_t start = PreviousChar(caret_);
    text_.erase(start, caret_ - start);
    caret_ = start;
    SetCaret(caret_);
    Touch();
}

void TextBox::Delete() {
    if (caret_ >= text_.size()) return;
    text_.erase(caret_, NextChar(caret_) - caret_);
    SetCaret(caret_);
    Touch();
}

bool TextBox::EditKey(int key) {
    switch (key) {
        case VK_BACK:
            Backspace();
            return true;
        case VK_DELETE:
            Delete();
            return true;
        case VK_LEFT:
            SetCaret(PreviousChar(caret_));
            return true;
        case VK_RIGHT:
            SetCaret(NextChar(caret_));
            return true;
        case VK_HOME:
            SetCaret(0);
            return true;
        case VK_END:
            SetCaret(text_.size());
            return true;
        default:
            return false;
    }
}

std::size_t Utf8SequenceLength(std::string_view bytes) {
    if (bytes.empty()) return 0;
    const auto b = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = b(0);
    std::size_t n = 0;
    char32_t cp = 0;
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        n = 2;
        cp = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        n = 3;
        cp = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        n = 4;
        cp = lead & 0x07;
    } else {
        return 0;  // a continuation byte, or a lead that only overlong or too large forms use
    }
    if (bytes.size() < n) return 0;
    for (std::size_t i = 1; i < n; ++i) {
        if ((b(i) & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b(i) & 0x3F);
    }
    constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kSmallest[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return n;
}

int TextScroll(int previous, int caretX, int textWidth, int viewWidth) {
    // The caret after the last character needs one pixel of its own.
    if (viewWidth <= 0 || textWidth + 1 <= viewWidth) return 0;
    int scroll = previous;
    if (caretX - scroll > viewWidth - 1) scroll = caretX - (viewWidth - 1);
    if (caretX < scroll) scroll = caretX;
    // No empty room right of the text's end while part of it is hidden left.
    scroll = std::min(scroll, textWidth + 1 - viewWidth);
    return std::max(scroll, 0);
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
    if (target->Kind() == ControlKind::TextBox && target->Enabled() && target->Visible()) {
        static_cast<TextBox*>(target)->EditKey(key);
    }
}

void Form::DeliverText(const std::string& utf8) {
    Control* target = focused_;
    if (target == nullptr || target->Kind() != ControlKind::TextBox) return;
    if (!target->Enabled() || !target->Visible()) return;
    static_cast<TextBox*>(target)->Type(utf8);
}

}  // namespace vorlax
