#include "platform/relay_platform.h"

namespace vorlax {

void RelayPlatform::Sync() {
    open_ = inner_.OpenForms();
    active_ = inner_.ActiveForm();
}

void RelayPlatform::DoEvents(std::uint32_t maxWaitMs) {
    inner_.DoEvents(maxWaitMs);
    Sync();
}

void RelayPlatform::RunEventLoop() {
    inner_.RunEventLoop();
    Sync();
}

void RelayPlatform::MessageBox(const std::string& text, const std::string& caption) {
    inner_.MessageBox(text, caption);
    Sync();
}

void RelayPlatform::ShowForm(Form& form) {
    inner_.ShowForm(form);
    Sync();
}

void RelayPlatform::HideForm(Form& form) {
    inner_.HideForm(form);
    Sync();
}

void RelayPlatform::CloseForm(Form& form) {
    inner_.CloseForm(form);
    Sync();
}

void RelayPlatform::ActivateForm(Form& form) {
    inner_.ActivateForm(form);
    Sync();
}

void RelayPlatform::CloseAllWindows() {
    // The backend closes its windows only on its way out.
    try {
        inner_.End(0);
    } catch (const ProgramEnd&) {
    }
    Sync();
}

}  // namespace vorlax
