#include "platform/platform.h"

#include <algorithm>
#include <cassert>
#include <string_view>

#include "core/random.h"
#include "platform/form.h"

namespace vorlax {
namespace {
Platform* current = nullptr;
}

Platform& CurrentPlatform() {
    assert(current != nullptr && "no platform set");
    return *current;
}

void SetCurrentPlatform(Platform* platform) {
    current = platform;
    // The game's random draws are reseeded from this platform's clock.
    if (platform != nullptr)
        SetReseedTimer([] { return current->GetTickCount(); });
    else
        SetReseedTimer(nullptr);
}

bool HasPlatform() {
    return current != nullptr;
}

std::string ProgramFile(const std::string& name) {
    return CurrentPlatform().ProgramFolder() + "/" + name;
}

std::string BreakIntoLines(const std::string& text, std::size_t width) {
    width = std::max<std::size_t>(width, 1);
    const auto isStart = [](char c) { return (c & 0xC0) != 0x80; };
    const auto length = [&](std::string_view s) {
        return static_cast<std::size_t>(std::count_if(s.begin(), s.end(), isStart));
    };
    // The bytes of the first `chars` characters of `s`.
    const auto prefix = [&](std::string_view s, std::size_t chars) {
        std::size_t i = 0;
        for (std::size_t n = 0; i < s.size(); ++i)
            if (isStart(s[i]) && n++ == chars) break;
        return i;
    };
    std::string out;
    std::size_t column = 0;  // characters on the line being filled
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = std::min(text.find_first_of(" \n", at), text.size());
        std::string_view word(text.data() + at, end - at);
        if (column > 0 && column + 1 + length(word) > width) {
            out += '\n';
            column = 0;
        } else if (column > 0) {
            out += ' ';
            ++column;
        }
        while (length(word) > width) {  // a word longer than a line
            const std::size_t cut = prefix(word, width);
            out.append(word.substr(0, cut)) += '\n';
            word.remove_prefix(cut);
        }
        out += word;
        column += length(word);
        if (end < text.size() && text[end] == '\n') {
            out += '\n';
            column = 0;
        }
        at = end + 1;
    }
    return out;
}

void Platform::End(int status) {
    CloseAllWindows();
    throw ProgramEnd{status};
}

void Platform::HandKeyDown(Form& form, int vk) {
    if (tap_ == nullptr || tap_->KeyDown(form, vk)) form.DeliverKeyDown(vk);
}

void Platform::HandText(Form& form, const std::string& utf8) {
    if (tap_ == nullptr || tap_->Text(form, utf8)) form.DeliverText(utf8);
}

void Platform::HandCloseBox(Form& form) {
    if (tap_ == nullptr || tap_->CloseBox(form)) form.Unload();
}

void Platform::HandQuit() {
    if (tap_ != nullptr && !tap_->Quit()) return;
    const std::vector<Form*> forms = open_;
    for (Form* form : forms)
        if (std::find(open_.begin(), open_.end(), form) != open_.end()) form->Unload();
}

void Platform::ShowForm(Form& form) {
    // The first show opens the window; a later one shows it again after a hide.
    if (std::find(open_.begin(), open_.end(), &form) == open_.end()) open_.push_back(&form);
    OnWindowOpen(form);
    ActivateForm(form);
}

void Platform::HideForm(Form& form) {
    OnWindowHide(form);
    if (active_ == &form) active_ = nullptr;
}

void Platform::CloseForm(Form& form) {
    auto it = std::find(open_.begin(), open_.end(), &form);
    if (it == open_.end()) return;
    OnWindowClose(form);
    open_.erase(it);
    if (active_ == &form) active_ = nullptr;
}

void Platform::ActivateForm(Form& form) {
    if (!form.Visible()) return;
    Form* before = active_;
    active_ = &form;
    OnActivate(form);
    if (before != &form) FocusChanged(form);
}

void Platform::CloseAllWindows() {
    while (!open_.empty()) {
        Form* form = open_.back();
        OnWindowClose(*form);
        open_.pop_back();
    }
    active_ = nullptr;
}

}  // namespace vorlax
