// Plays a replay back: the clock readings, held keys, key presses, typed
// text, close boxes and quit requests come from the replay, in the order
// the game asks for them; the windows are the backend's. Over the headless
// platform it checks a replay as fast as it goes; over SDL it shows it at the
// recorded pace, the player's keys ignored but Esc (or a close box, or a quit
// request), which ends it. The game's table is the recorded one, kept in a
// folder of the caller's, so the player's own is never written. When the
// replay runs out the program ends with status 0.
#pragma once

#include <functional>
#include <map>

#include "platform/relay_platform.h"
#include "platform/replay_file.h"

namespace vorlax {

class PlaybackPlatform : public RelayPlatform, private InputTap {
  public:
    // `scoreFolder` must exist; the recorded table is written there.
    // `paced`: wait for the recorded time between clock readings.
    PlaybackPlatform(Platform& inner, replay::Replay replay, std::string scoreFolder, bool paced);
    ~PlaybackPlatform() override;
    PlaybackPlatform(const PlaybackPlatform&) = delete;
    PlaybackPlatform& operator=(const PlaybackPlatform&) = delete;

    std::int16_t GetKeyState(int vk) override;
    std::uint32_t GetTickCount() override;
    void Sleep(std::uint32_t) override {}
    void DoEvents(std::uint32_t maxWaitMs = 0) override;
    void RunEventLoop() override;
    std::string ScoreFolder() override { return scoreFolder_; }
    // Said on stderr: a replay never waits for the player.
    void MessageBox(const std::string& text, const std::string& caption) override;

    // Runs at the start of every yield, as HeadlessPlatform::EveryYield does.
    void EveryYield(std::function<void()> hook) { everyYield_ = std::move(hook); }
    // Records played so far, and in all.
    std::size_t Played() const { return next_; }
    std::size_t Size() const { return replay_.records.size(); }

  private:
    bool KeyDown(Form& form, int vk) override;
    bool Text(Form&, const std::string&) override { return false; }
    bool CloseBox(Form&) override { return Stop(); }
    bool Quit() override { return Stop(); }
    bool Stop() {
        stop_ = true;
        return false;
    }

    const replay::Record* Next() const;
    // Hands the game the recorded event `r`; false if `r` is no event.
    bool Deliver(const replay::Record& r);
    void Apply(const replay::Record& r);
    // Lets the backend show the windows and take the player's Esc.
    void Pump();
    [[noreturn]] void Ended();
    void WaitFor(std::uint32_t tick);

    replay::Replay replay_;
    std::string scoreFolder_;
    bool paced_;
    std::size_t next_ = 0;
    std::map<int, bool> held_;
    bool stop_ = false;
    bool started_ = false;
    std::uint32_t firstTick_ = 0, wallStart_ = 0;
    std::function<void()> everyYield_;
};

}  // namespace vorlax
