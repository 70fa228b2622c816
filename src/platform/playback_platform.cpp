#include "platform/playback_platform.h"

#include <algorithm>
#include <cstdio>
#include <fstream>

#include "core/game_files.h"
#include "core/numbers.h"
#include "core/random.h"
#include "platform/form.h"
#include "platform/keys.h"

namespace vorlax {

using replay::Kind;
using replay::Record;

PlaybackPlatform::PlaybackPlatform(Platform& inner, replay::Replay replay, std::string scoreFolder,
                                   bool paced)
    : RelayPlatform(inner),
      replay_(std::move(replay)),
      scoreFolder_(std::move(scoreFolder)),
      paced_(paced) {
    if (replay_.table)
        std::ofstream(scoreFolder_ + "/" + kHighScoreFileName, std::ios::binary) << *replay_.table;
    inner_.SetInputTap(this);
    RestartRandom();
}

PlaybackPlatform::~PlaybackPlatform() {
    inner_.SetInputTap(nullptr);
}

const Record* PlaybackPlatform::Next() const {
    return next_ < replay_.records.size() ? &replay_.records[next_] : nullptr;
}

void PlaybackPlatform::Ended() {
    End(0);
}

void PlaybackPlatform::Apply(const Record& r) {
    if (r.kind == Kind::Key) held_[r.vk] = r.held;
}

std::int16_t PlaybackPlatform::GetKeyState(int vk) {
    const Record* r = Next();
    if (r != nullptr && r->kind == Kind::Key && r->vk == vk) {
        Apply(*r);
        ++next_;
    }
    return held_[vk] ? static_cast<std::int16_t>(-128) : 0;
}

// Every call takes at least one record, so a replay that leads the game
// somewhere else still runs out instead of hanging: what does not fit is
// passed over.
std::uint32_t PlaybackPlatform::GetTickCount() {
    for (const Record* r; (r = Next()) != nullptr;) {
        ++next_;
        if (r->kind == Kind::Tick) {
            if (paced_) WaitFor(r->value);
            return r->value;
        }
        Apply(*r);
    }
    Ended();
}

void PlaybackPlatform::WaitFor(std::uint32_t tick) {
    if (!started_) {
        started_ = true;
        firstTick_ = tick;
        wallStart_ = inner_.GetTickCount();
    }
    const Long due = TickDiff(static_cast<Long>(tick), static_cast<Long>(firstTick_));
    for (;;) {
        const Long wait =
            due - TickDiff(static_cast<Long>(inner_.GetTickCount()), static_cast<Long>(wallStart_));
        if (wait <= 0) return;
        inner_.Sleep(static_cast<std::uint32_t>(std::min<Long>(wait, 10)));
        Pump();
    }
}

void PlaybackPlatform::Pump() {
    inner_.DoEvents(0);
    Sync();
    if (stop_) Ended();
}

bool PlaybackPlatform::Deliver(const Record& r) {
    Form* form = nullptr;
    if (r.kind == Kind::KeyDown || r.kind == Kind::Text || r.kind == Kind::Close) {
        const std::string& name = replay_.forms[r.form];
        for (Form* f : open_)
            if (f->Name() == name) form = f;
    }
    switch (r.kind) {
        case Kind::Idle:
            RunIdleTask();
            return true;
        case Kind::KeyDown:
            if (form != nullptr) HandKeyDown(*form, r.vk);
            return true;
        case Kind::Text:
            if (form != nullptr) HandText(*form, replay_.texts[r.value]);
            return true;
        case Kind::Close:
            if (form != nullptr) HandCloseBox(*form);
            return true;
        case Kind::Quit:
            HandQuit();
            return true;
        default:
            return false;
    }
}

void PlaybackPlatform::DoEvents(std::uint32_t) {
    if (everyYield_) everyYield_();
    // This yield's own mark first; anything before it is passed over.
    for (const Record* r; (r = Next()) != nullptr;) {
        ++next_;
        if (r->kind == Kind::Yield) break;
        Apply(*r);
    }
    if (Next() == nullptr) Ended();
    // Then what came in during it; a handler may yield again and take the
    // records after its own.
    for (const Record* r; (r = Next()) != nullptr && r->kind != Kind::Tick &&
                          r->kind != Kind::Key && r->kind != Kind::Yield;) {
        ++next_;
        Deliver(*r);
    }
    Pump();
}

void PlaybackPlatform::RunEventLoop() {
    while (!open_.empty()) {
        const Record* r = Next();
        if (r == nullptr) Ended();
        ++next_;
        if (!Deliver(*r)) Apply(*r);
        Pump();
    }
}

void PlaybackPlatform::MessageBox(const std::string& text, const std::string& caption) {
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
}

bool PlaybackPlatform::KeyDown(Form&, int vk) {
    if (vk == VK_ESCAPE) stop_ = true;
    return false;
}

}  // namespace vorlax
