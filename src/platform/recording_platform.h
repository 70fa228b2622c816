// Plays as usual on another backend and writes a replay of the game as it
// goes: every clock reading, every change of a held key, every key press,
// typed text, close box and quit request, every yield, and the high-score
// table read at start. The file is flushed at every yield, so it stays
// readable however the game ends.
#pragma once

#include <cstdio>
#include <map>

#include "platform/relay_platform.h"
#include "platform/replay_file.h"

namespace vorlax {

class RecordingPlatform : public RelayPlatform, private InputTap {
  public:
    // Writes to `file`, which stays the caller's. Reads the table the game
    // is about to read (the player's, else the delivered one).
    RecordingPlatform(Platform& inner, std::FILE* file);
    ~RecordingPlatform() override;
    RecordingPlatform(const RecordingPlatform&) = delete;
    RecordingPlatform& operator=(const RecordingPlatform&) = delete;

    std::int16_t GetKeyState(int vk) override;
    std::uint32_t GetTickCount() override;
    void DoEvents(std::uint32_t maxWaitMs = 0) override;
    void RunEventLoop() override;

    // Closes the replay; anything after is not recorded.
    void Finish() { writer_.Finish(); }
    // Closes the replay being recorded, if any: for a game that ends without
    // unwinding (its display lost).
    static void FinishAny();

  private:
    bool KeyDown(Form& form, int vk) override;
    bool Text(Form& form, const std::string& utf8) override;
    bool CloseBox(Form& form) override;
    bool Quit() override;

    replay::Writer writer_;
    std::map<int, bool> held_;
};

}  // namespace vorlax
