#include "platform/headless_platform.h"

#include <algorithm>
#include <limits>

#include "core/numbers.h"
#include "platform/form.h"

namespace vorlax {
namespace {

// The longest single jump of the virtual clock while the event loop idles.
constexpr std::uint32_t kLongestIdleStep = 1u << 28;  // about 3.1 days

}  // namespace

HeadlessPlatform::HeadlessPlatform() = default;

HeadlessPlatform::~HeadlessPlatform() {
    if (HasPlatform() && &CurrentPlatform() == this) SetCurrentPlatform(nullptr);
}

std::int16_t HeadlessPlatform::GetKeyState(int vk) {
    return held_.count(vk) ? static_cast<std::int16_t>(-128) : 0;
}

void HeadlessPlatform::SetKeyHeld(int vk, bool held) {
    if (held)
        held_.insert(vk);
    else
        held_.erase(vk);
}

void HeadlessPlatform::QueueKeyDown(int vk) {
    queue_.push_back(KeyDown{vk});
}
void HeadlessPlatform::QueueText(const std::string& utf8) {
    queue_.push_back(Text{utf8});
}
void HeadlessPlatform::QueueClose(Form& form) {
    queue_.push_back(Close{&form});
}

void HeadlessPlatform::At(std::uint32_t tick, std::function<void()> action) {
    scheduled_.push_back({tick, std::move(action)});
}

void HeadlessPlatform::MessageBox(const std::string& text, const std::string& caption) {
    messages_.push_back({text, caption});
    if (OnMessage) OnMessage(messages_.back());
}

int HeadlessPlatform::Presents(const Form& form) const {
    auto it = presents_.find(&form);
    return it == presents_.end() ? 0 : it->second;
}

void HeadlessPlatform::ResizeForm(Form& form) {
    form.Touch();
}

void HeadlessPlatform::PresentForm(Form& form) {
    ++presents_[&form];
    shownRevision_[&form] = form.Revision();
}

void HeadlessPlatform::OnWindowOpen(Form& form) {
    form.Touch();
}
void HeadlessPlatform::OnWindowHide(Form&) {}
void HeadlessPlatform::OnWindowClose(Form& form) {
    shownRevision_.erase(&form);
}
void HeadlessPlatform::OnActivate(Form&) {}

// Runs the first scheduled action that is due; true if one ran.
bool HeadlessPlatform::RunDue() {
    for (std::size_t i = 0; i < scheduled_.size(); ++i) {
        if (TickDiff(static_cast<Long>(now_), static_cast<Long>(scheduled_[i].tick)) >= 0) {
            auto action = std::move(scheduled_[i].action);
            scheduled_.erase(scheduled_.begin() + static_cast<std::ptrdiff_t>(i));
            action();
            return true;
        }
    }
    return false;
}

// Delivers the next queued event; true if there was one. Handlers may yield
// again (a key that starts a game), and the nested yield takes the events
// after this one.
bool HeadlessPlatform::DeliverOne() {
    if (queue_.empty()) return false;
    Event event = std::move(queue_.front());
    queue_.pop_front();
    if (auto* key = std::get_if<KeyDown>(&event)) {
        if (active_ != nullptr) HandKeyDown(*active_, key->vk);
    } else if (auto* text = std::get_if<Text>(&event)) {
        if (active_ != nullptr) HandText(*active_, text->utf8);
    } else if (auto* close = std::get_if<Close>(&event)) {
        HandCloseBox(*close->form);
    }
    return true;
}

void HeadlessPlatform::PresentChanged() {
    for (Form* form : open_) {
        if (form->Visible() && shownRevision_[form] != form->Revision()) PresentForm(*form);
    }
}

// Milliseconds until the earliest scripted action (0 if one is overdue), or
// `limit` if none comes sooner.
std::uint32_t HeadlessPlatform::UntilNextAction(std::uint32_t limit) const {
    std::uint32_t wait = limit;
    for (const auto& s : scheduled_) {
        const Long until = TickDiff(static_cast<Long>(s.tick), static_cast<Long>(now_));
        wait = std::min(wait, until < 0 ? 0u : static_cast<std::uint32_t>(until));
    }
    return wait;
}

// Runs what is due and delivers what is queued; true if anything happened.
bool HeadlessPlatform::HandlePending() {
    if (++yields_ > yieldLimit_)
        throw HeadlessLimitReached("headless run exceeded its yield limit");
    bool any = false;
    while (RunDue()) any = true;
    while (DeliverOne()) any = true;
    return any;
}

void HeadlessPlatform::DoEvents(std::uint32_t maxWaitMs) {
    if (everyYield_) everyYield_();
    RunIdleTask();
    if (!HandlePending() && maxWaitMs > 0) {
        // Nothing pending: wait, that is move the clock on, but no further
        // than the next scripted action.
        now_ += UntilNextAction(maxWaitMs);
        while (RunDue()) {
        }
        while (DeliverOne()) {
        }
    }
    PresentChanged();
}

void HeadlessPlatform::RunEventLoop() {
    // Idle like a real event loop: handle what is queued, jump the clock to
    // the next scripted action, and stop when nothing is left to happen.
    for (;;) {
        const bool any = HandlePending();
        PresentChanged();
        if (any) continue;
        if (scheduled_.empty() || open_.empty()) return;
        // A real clock passes every moment on the way: the jump is bounded,
        // so the idle task sees the time go by.
        now_ += UntilNextAction(kLongestIdleStep);
        RunIdleTask();
    }
}

}  // namespace vorlax
