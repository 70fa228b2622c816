// The game's view of its windows: a small retained model of forms and their
// controls. The game sets properties and draws on a form's persistent image;
// the platform backend shows the image with the visible controls on top and
// feeds key events back to the form and its focused control.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/types.h"
#include "raster/raster.h"

namespace vorlax {

class Form;

struct Font {
    double SizePt = 8.25;  // points at 96 DPI: 24 pt is 32 pixels
    bool Bold = false;
    bool operator==(const Font&) const = default;
    // Em height in pixels.
    int PixelSize() const;
};

enum class Align { Left, Centre, Right };
enum class ControlKind { Label, TextBox, PictureBox };

class Control {
  public:
    Control(Form& parent, std::string name, int left, int top, int width, int height);
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    virtual ControlKind Kind() const = 0;
    Form& Parent() const { return parent_; }
    const std::string& Name() const { return name_; }

    // Position and size in client pixels.
    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetLeft(int left);
    void SetTop(int top);
    void SetSize(int width, int height);

    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    // Whether the control may take the keyboard focus at all.
    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool tabStop);

    // Gives this control the keyboard focus within its form, and the form the
    // focus on the screen. Ignored for a control that cannot take the focus.
    void SetFocus();
    bool HasFocus() const;

    const Font& GetFont() const { return font_; }
    void SetFont(Font font);
    Colour ForeColor() const { return foreColor_; }
    void SetForeColor(Colour c);
    Colour BackColor() const { return backColor_; }
    void SetBackColor(Colour c);
    // A transparent control shows the form's image around its text.
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool transparent);
    Align Alignment() const { return alignment_; }
    void SetAlignment(Align a);

    // Key-down handler of this control: the virtual-key code of the key.
    std::function<void(int key)> OnKeyDown;

    // Any change to how the control looks bumps this number (and its form's).
    std::uint64_t Revision() const { return revision_; }

  protected:
    void Touch();
    // The control's size changed.
    virtual void Resized() {}

  private:
    Form& parent_;
    std::string name_;
    int left_, top_, width_, height_;
    bool visible_ = true;
    bool enabled_ = true;
    bool tabStop_ = true;
    Font font_;
    Colour foreColor_ = 0;
    Colour backColor_ = RGB(255, 255, 255);
    bool transparent_ = false;
    Align alignment_ = Align::Left;
    std::uint64_t revision_ = 1;
};

class Label : public Control {
  public:
    using Control::Control;
    ControlKind Kind() const override { return ControlKind::Label; }
    const std::string& Caption() const { return caption_; }
    void SetCaption(std::string caption);
    // Wrap the caption over several lines within the label's width.
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool wrap);

  private:
    std::string caption_;
    bool wordWrap_ = false;
};

// A one-line text box with a caret. The caret is a byte offset into the
// text that always stands at the start of a character; a character is one
// well-formed UTF-8 sequence, or a single byte where the text is not UTF-8
// (a name read from an old file), so editing never splits a character.
class TextBox : public Control {
  public:
    using Control::Control;
    ControlKind Kind() const override { return ControlKind::TextBox; }
    const std::string& Text() const { return text_; }
    // Replaces the text and puts the caret at its end.
    void SetText(std::string text);
    std::size_t Caret() const { return caret_; }
    // Moves the caret to `pos`, or to the start of the character that holds it.
    void SetCaret(std::size_t pos);

    // The box's own editing while it has the focus and is enabled.
    // Inserts typed text at the caret, which moves past it. Only well-formed
    // UTF-8 is taken; control characters and malformed bytes are dropped.
    void Type(const std::string& utf8);
    // Removes the character before (Backspace) or after (Delete) the caret.
    void Backspace();
    void Delete();
    // The editing keys: Backspace, Delete, Left, Right, Home and End. Returns
    // whether `key` was one of them.
    bool EditKey(int key);

  private:
    std::size_t NextChar(std::size_t pos) const;
    std::size_t PreviousChar(std::size_t pos) const;

    std::string text_;
    std::size_t caret_ = 0;
};

// Length of the well-formed UTF-8 sequence at the start of `bytes`, 0 when
// it does not start with one (a stray continuation byte, an overlong form, a
// surrogate, a code point beyond U+10FFFF, or a sequence cut short).
std::size_t Utf8SequenceLength(std::string_view bytes);

// Horizontal scrolling of a one-line text box: given the text's width, the
// caret's distance from the text's start and the width of the box's inside
// (all in pixels), returns how many pixels of the text lie hidden to the
// left, moving as little as it can from `previous` so that the caret (one
// pixel wide) stays in view. Text that fits is never scrolled.
int TextScroll(int previous, int caretX, int textWidth, int viewWidth);

class PictureBox : public Control {
  public:
    PictureBox(Form& parent, std::string name, int left, int top, int width, int height);
    ControlKind Kind() const override { return ControlKind::PictureBox; }
    // The persistent image, width x height pixels.
    Surface& Image() { return image_; }
    const Surface& Image() const { return image_; }
    // Colour of pixel (x, y) of the image; kInvalidColour outside.
    Colour Point(int x, int y) const { return image_.Pixel(x, y); }
    void Cls();
    void Refresh();

  protected:
    // The image follows the box's size, keeping what fits.
    void Resized() override;

  private:
    Surface image_;
};

class Form {
  public:
    Form(std::string name, std::string caption, int clientWidth, int clientHeight);
    ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    const std::string& Name() const { return name_; }
    const std::string& Caption() const { return caption_; }

    // --- controls ---
    template <typename T, typename... Args>
    T& Add(Args&&... args) {
        auto control = std::make_unique<T>(*this, std::forward<Args>(args)...);
        T& ref = *control;
        controls_.push_back(std::move(control));
        Touch();
        return ref;
    }
    const std::vector<std::unique_ptr<Control>>& Controls() const { return controls_; }
    Control* FocusedControl() const { return focused_; }

    // --- client area and drawing ---
    int ClientWidth() const { return image_.Width(); }
    int ClientHeight() const { return image_.Height(); }
    // A new client size: the image keeps what fits, the rest takes the
    // background colour, and the resize event runs if the form is shown.
    void SetClientSize(int width, int height);
    Colour BackColor() const { return backColor_; }
    void SetBackColor(Colour c);
    Colour FillColor() const { return fillColor_; }
    void SetFillColor(Colour c) { fillColor_ = c; }
    Colour ForeColor() const { return foreColor_; }
    void SetForeColor(Colour c) { foreColor_ = c; }
    FillStyle GetFillStyle() const { return fillStyle_; }
    void SetFillStyle(FillStyle s) { fillStyle_ = s; }

    // The persistent image everything is drawn on; shown by Refresh.
    Surface& Image() { return image_; }
    const Surface& Image() const { return image_; }
    // Fills the image with the background colour.
    void Cls();
    // An ellipse with the form's fore colour, fill colour and fill style.
    void DrawEllipse(int left, int top, int right, int bottom);
    // A one-pixel line.
    void DrawLine(int x1, int y1, int x2, int y2, Colour colour);
    // Shows the image and the visible controls now.
    void Refresh();

    // --- lifecycle ---
    bool Loaded() const { return loaded_; }
    bool Visible() const { return visible_; }
    // Loads the form if needed (its load event runs), shows its window and
    // activates it; the first show raises the resize event.
    void Show();
    void Hide();
    // Closes the window and raises the unload event; closing a form that is
    // already closing does nothing more.
    void Unload();
    // Gives the form's window the keyboard focus.
    void SetFocus();
    bool IsActive() const;

    // --- events ---
    std::function<void()> OnLoad;
    std::function<void()> OnResize;
    std::function<void()> OnUnload;
    // Sees every key pressed while the form is active, before the focused control.
    std::function<void(int key)> OnKeyDown;

    // --- called by the platform backend ---
    // A key pressed while this form is active: the form's handler, then the
    // focused control's, then the control's own editing.
    void DeliverKeyDown(int key);
    // Text typed while this form is active: goes to a focused, enabled, visible text box.
    void DeliverText(const std::string& utf8);
    // Any change that should be shown bumps this number.
    std::uint64_t Revision() const { return revision_; }
    void Touch() { ++revision_; }
    // The control that last had the focus is leaving it (it was hidden or disabled).
    void FocusLost(Control& control);
    void SetFocusedControl(Control* control);

  private:
    std::string name_;
    std::string caption_;
    std::vector<std::unique_ptr<Control>> controls_;
    Control* focused_ = nullptr;
    Surface image_;
    Colour backColor_ = 0;
    Colour fillColor_ = 0;
    Colour foreColor_ = 0;
    FillStyle fillStyle_ = FillStyle::Solid;
    bool loaded_ = false;
    bool visible_ = false;
    bool resizedOnce_ = false;
    bool unloading_ = false;
    std::uint64_t revision_ = 1;
};

}  // namespace vorlax
