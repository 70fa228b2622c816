// The one door between the game and the outside world: keys, time, windows,
// message boxes and the program folder. The game rules call only this; a
// backend provides it (SdlPlatform for real windows, HeadlessPlatform for
// tests).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/types.h"
#include "platform/keys.h"

namespace vorlax {

class Form;

// Sees each input event a backend is about to hand the game, in order (a
// recorder of replays); returning false withholds it (a replay shown in a
// window ignores the player's keys).
class InputTap {
  public:
    virtual ~InputTap() = default;
    virtual bool KeyDown(Form& form, int vk) = 0;
    virtual bool Text(Form& form, const std::string& utf8) = 0;
    // The window's close box.
    virtual bool CloseBox(Form& form) = 0;
    // A request to quit (a signal): every window closes.
    virtual bool Quit() = 0;
};

// Thrown by Platform::End to unwind every nested loop at once; main() catches
// it and exits with `status`.
struct ProgramEnd {
    int status = 0;
};

class Platform {
  public:
    virtual ~Platform() = default;

    // --- input and time -------------------------------------------------

    // Negative while the key with virtual-key code `vk` is held down, 0 otherwise.
    virtual std::int16_t GetKeyState(int vk) = 0;
    // Milliseconds on a 32-bit counter that wraps. Differences of two
    // readings (TickDiff) are elapsed time.
    virtual std::uint32_t GetTickCount() = 0;
    // Blocks for `ms` milliseconds; no event is handled meanwhile.
    virtual void Sleep(std::uint32_t ms) = 0;

    // The yield: handles every pending window event (key presses, typed text,
    // close boxes, repaints) on this thread, running the forms' handlers, and
    // shows any form whose contents changed. When nothing is pending and
    // `maxWaitMs` > 0 it first waits up to that long for an event, so a loop
    // that has nothing to do until a deadline does not spin the processor.
    virtual void DoEvents(std::uint32_t maxWaitMs = 0) = 0;

    // Handles events until no form is loaded any more (or End is called).
    virtual void RunEventLoop() = 0;

    // Work the game wants done while it waits for the player (on the title
    // screen, paused, while a message box waits): the event loops and the
    // yield run it whenever they look for events, so at least every 100 ms
    // of waiting (of the headless clock too, whose jumps are bounded).
    void SetIdleTask(std::function<void()> task) { idleTask_ = std::move(task); }

    // Closes every window without running unload handlers and throws
    // ProgramEnd, unwinding whatever loops were running.
    [[noreturn]] void End(int status = 0);

    // Every input event this backend hands the game passes `tap` first.
    void SetInputTap(InputTap* tap) { tap_ = tap; }

    // --- files and messages ----------------------------------------------

    // The folder that holds the game's files (beside the executable, or the
    // installed data folder), without a trailing separator.
    virtual std::string ProgramFolder() = 0;
    // The folder that holds the player's high-score table: the program
    // folder, or for an installed game the player's own data folder (a
    // backend may throw GameError when it cannot make that folder).
    virtual std::string ScoreFolder() { return ProgramFolder(); }
    // A message box with an OK button; returns when it is dismissed.
    virtual void MessageBox(const std::string& text, const std::string& caption) = 0;
    // Throws GameError (kErrFont), naming each font file and every place it
    // was looked for, when the windows' text could not be drawn. A backend
    // that draws no text has nothing to check.
    virtual void CheckFonts() {}

    // --- forms (called by Form; the game does not call these) ------------

    // The form whose window has the keyboard focus, or nullptr.
    Form* ActiveForm() const { return active_; }
    // Forms whose windows are open (loaded and shown at least once).
    const std::vector<Form*>& OpenForms() const { return open_; }

    // The form's window is to be shown (created on first show) and activated.
    virtual void ShowForm(Form& form);
    // The form's window is to be hidden; it stays loaded.
    virtual void HideForm(Form& form);
    // The form's window is to be destroyed (the form was unloaded).
    virtual void CloseForm(Form& form);
    // The form's window is to take the keyboard focus.
    virtual void ActivateForm(Form& form);
    // The form's client size changed.
    virtual void ResizeForm(Form& form) = 0;
    // Shows the form's persistent image with its visible controls, now.
    virtual void PresentForm(Form& form) = 0;
    // The control holding the form's focus changed (typed text may start or stop).
    virtual void FocusChanged(Form& form) { (void)form; }

  protected:
    // Destroys every window; used by End.
    virtual void CloseAllWindows();
    void RunIdleTask() {
        if (idleTask_) idleTask_();
    }
    // A backend hands the game its input through these (past the tap).
    void HandKeyDown(Form& form, int vk);
    void HandText(Form& form, const std::string& utf8);
    void HandCloseBox(Form& form);
    // Closes the windows as the player would, the first one opened (the
    // game's main window) first, so that its unload handler ends the program
    // the way its close box does, saving what the other windows hold.
    void HandQuit();
    // Backend hooks around the shared bookkeeping above.
    virtual void OnWindowOpen(Form& form) = 0;
    virtual void OnWindowHide(Form& form) = 0;
    virtual void OnWindowClose(Form& form) = 0;
    virtual void OnActivate(Form& form) = 0;

    Form* active_ = nullptr;
    std::vector<Form*> open_;

  private:
    std::function<void()> idleTask_;
    InputTap* tap_ = nullptr;
};

// The platform of this process; set once in main() (or by a test).
Platform& CurrentPlatform();
void SetCurrentPlatform(Platform* platform);
bool HasPlatform();

// Whether the key with virtual-key code `vk` is held down now.
inline bool KeyHeld(int vk) {
    return CurrentPlatform().GetKeyState(vk) < 0;
}

// The tick count now, as the game keeps its tick readings.
inline Long TickCount() {
    return static_cast<Long>(CurrentPlatform().GetTickCount());
}

// Full path of a file in the program folder.
std::string ProgramFile(const std::string& name);

// `text` broken into lines of at most `width` characters (UTF-8 characters,
// not bytes) at blanks, and within a word only where one word is longer than
// a line, as a message box needs: a box sizes itself to its longest line, and
// a long message would grow wider than the screen.
std::string BreakIntoLines(const std::string& text, std::size_t width = 72);

}  // namespace vorlax
