// A platform that passes every call on to another one, the backend that
// really has the windows, keeping the same forms open and active. Recording
// and playing replays build on it, each changing only the answers it needs.
#pragma once

#include "platform/platform.h"

namespace vorlax {

class RelayPlatform : public Platform {
  public:
    explicit RelayPlatform(Platform& inner) : inner_(inner) {}

    std::int16_t GetKeyState(int vk) override { return inner_.GetKeyState(vk); }
    std::uint32_t GetTickCount() override { return inner_.GetTickCount(); }
    void Sleep(std::uint32_t ms) override { inner_.Sleep(ms); }
    void DoEvents(std::uint32_t maxWaitMs = 0) override;
    void RunEventLoop() override;
    std::string ProgramFolder() override { return inner_.ProgramFolder(); }
    std::string ScoreFolder() override { return inner_.ScoreFolder(); }
    void MessageBox(const std::string& text, const std::string& caption) override;
    void CheckFonts() override { inner_.CheckFonts(); }
    void ShowForm(Form& form) override;
    void HideForm(Form& form) override;
    void CloseForm(Form& form) override;
    void ActivateForm(Form& form) override;
    void ResizeForm(Form& form) override { inner_.ResizeForm(form); }
    void PresentForm(Form& form) override { inner_.PresentForm(form); }
    void FocusChanged(Form& form) override { inner_.FocusChanged(form); }

  protected:
    void CloseAllWindows() override;
    void OnWindowOpen(Form&) override {}
    void OnWindowHide(Form&) override {}
    void OnWindowClose(Form&) override {}
    void OnActivate(Form&) override {}
    // Takes the backend's open and active forms as this platform's.
    void Sync();

    Platform& inner_;
};

}  // namespace vorlax
