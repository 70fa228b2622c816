#include "platform/platform.h"

#include <algorithm>
#include <cassert>

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
