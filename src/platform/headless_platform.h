// A platform without windows, for tests: a virtual millisecond clock, keys
// held by script, key presses and typed text queued for the next yield, and
// message boxes recorded instead of shown. Everything is deterministic: the
// random generator is seeded from the virtual clock.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

#include "platform/platform.h"

namespace vorlax {

// Thrown when a headless run exceeds its yield limit: a test whose game never
// stops fails instead of hanging.
struct HeadlessLimitReached : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class HeadlessPlatform : public Platform {
  public:
    struct Message {
        std::string text;
        std::string caption;
    };

    HeadlessPlatform();
    ~HeadlessPlatform() override;

    // --- Platform ---
    std::int16_t GetKeyState(int vk) override;
    std::uint32_t GetTickCount() override { return now_; }
    void Sleep(std::uint32_t ms) override { now_ += ms; }
    void DoEvents(std::uint32_t maxWaitMs = 0) override;
    void RunEventLoop() override;
    std::string ProgramFolder() override { return folder_; }
    std::string ScoreFolder() override { return scoreFolder_ ? *scoreFolder_ : folder_; }
    void MessageBox(const std::string& text, const std::string& caption) override;
    void ResizeForm(Form& form) override;
    void PresentForm(Form& form) override;

    // --- script ---
    void SetTick(std::uint32_t tick) { now_ = tick; }
    void Advance(std::uint32_t ms) { now_ += ms; }
    void SetKeyHeld(int vk, bool held = true);
    void ReleaseAllKeys() { held_.clear(); }
    // Queued for the active form, delivered by the next yield in order.
    void QueueKeyDown(int vk);
    void QueueText(const std::string& utf8);
    // The player clicks the window's close box.
    void QueueClose(Form& form);
    // Runs `action` inside the first yield at or after virtual time `tick`; a
    // yield that waits moves the clock forward to it.
    void At(std::uint32_t tick, std::function<void()> action);
    // Runs `hook` at the start of every yield.
    void EveryYield(std::function<void()> hook) { everyYield_ = std::move(hook); }
    // Fails the run (HeadlessLimitReached) after this many yields.
    void SetYieldLimit(std::uint64_t limit) { yieldLimit_ = limit; }
    std::uint64_t Yields() const { return yields_; }
    void SetProgramFolder(std::string folder) { folder_ = std::move(folder); }
    // As for an installed game: the player's table lives in `folder` (empty:
    // the system names no folder for it).
    void SetScoreFolder(std::string folder) { scoreFolder_ = std::move(folder); }
    bool Pending() const { return !queue_.empty() || !scheduled_.empty(); }

    // --- what happened ---
    const std::vector<Message>& Messages() const { return messages_; }
    // Runs when a message box is "shown", before it is dismissed.
    std::function<void(const Message&)> OnMessage;
    // How often a form was shown on the "screen" (refresh or changed at a yield).
    int Presents(const Form& form) const;

  protected:
    void OnWindowOpen(Form& form) override;
    void OnWindowHide(Form& form) override;
    void OnWindowClose(Form& form) override;
    void OnActivate(Form& form) override;

  private:
    struct KeyDown {
        int vk;
    };
    struct Text {
        std::string utf8;
    };
    struct Close {
        Form* form;
    };
    using Event = std::variant<KeyDown, Text, Close>;

    bool RunDue();
    bool HandlePending();
    std::uint32_t UntilNextAction(std::uint32_t limit) const;
    bool DeliverOne();
    void PresentChanged();

    std::uint32_t now_ = 0;
    std::set<int> held_;
    std::deque<Event> queue_;
    struct Scheduled {
        std::uint32_t tick;
        std::function<void()> action;
    };
    std::vector<Scheduled> scheduled_;  // in the order they were added
    std::function<void()> everyYield_;
    std::uint64_t yields_ = 0;
    std::uint64_t yieldLimit_ = 10'000'000;
    std::string folder_ = ".";
    std::optional<std::string> scoreFolder_;
    std::vector<Message> messages_;
    std::map<const Form*, int> presents_;
    std::map<const Form*, std::uint64_t> shownRevision_;
};

}  // namespace vorlax
