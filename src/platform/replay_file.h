// The replay file: every answer the outside world gave a game (clock
// readings, held keys, key presses, typed text, close boxes, quit requests,
// the yields they came in) and the high-score table it read at start, in
// the order the game asked. docs/replays.md describes the bytes. Plain C++
// over bytes, so that the fuzzer builds it alone.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace vorlax::replay {

inline constexpr char kMagic[8] = {'V', 'O', 'R', 'L', 'A', 'X', 'R', 'P'};
inline constexpr std::uint32_t kVersion = 1;
// The most a recorded table or a piece of typed text may hold.
inline constexpr std::size_t kMaxTextBytes = 1 << 16;
inline constexpr std::size_t kMaxForms = 64;

enum class Kind : std::uint8_t {
    Tick,     // a clock reading: `value`
    Key,      // a held-key answer changed: key `vk` is now `held`
    Yield,    // the game yielded
    Idle,     // the backend ran the game's idle task
    KeyDown,  // a key press `vk` for form `form`
    Text,     // typed text texts[`value`] for form `form`
    Close,    // the close box of form `form`
    Quit,     // a request to quit
};

struct Record {
    Kind kind = Kind::Tick;
    std::uint8_t vk = 0;
    bool held = false;
    std::uint8_t form = 0;    // index into Replay::forms
    std::uint32_t value = 0;  // the tick, or the index into Replay::texts
};

struct Replay {
    std::optional<std::string> table;  // Hiscore.txt as read at start, if there was one
    std::vector<std::string> forms;    // the windows' names, as first met
    std::vector<std::string> texts;
    std::vector<Record> records;
};

// Why a file was refused; what() says which, for the player.
struct ReplayError : std::runtime_error {
    enum class Why { NotAReplay, OtherVersion, CutShort, Damaged };
    ReplayError(Why w, const std::string& text) : std::runtime_error(text), why(w) {}
    Why why;
};

// Reads a whole file's bytes; throws ReplayError for anything but a
// complete, undamaged replay of this version. `sealed` false skips the
// closing record's count and checksum (the fuzzer reaches the records so).
Replay Parse(const std::string& bytes, bool sealed = true);

// Writes a replay as the game goes. Records are kept in a small buffer that
// Flush hands to the file; Finish writes the closing record (their count and
// a checksum of every byte), without which a file is cut short.
class Writer {
  public:
    // Writes the header at once; `file` stays the caller's.
    Writer(std::FILE* file, const std::optional<std::string>& table);
    void Tick(std::uint32_t tick);
    void Key(int vk, bool held);
    void Yield();
    void Idle();
    void KeyDown(const std::string& form, int vk);
    void Text(const std::string& form, const std::string& utf8);
    void Close(const std::string& form);
    void Quit();
    void Flush();
    // Closes the record; later calls do nothing.
    void Finish();
    bool Finished() const { return finished_; }

  private:
    // One record of its own byte `op`, after whatever is held back.
    void Op(std::uint8_t op);
    // Writes the yield, idle task and unchanged clock readings held back
    // to be joined with what comes next.
    void Settle();
    void Byte(std::uint8_t b);
    void Number(std::uint64_t n);
    void Bytes(const std::string& s);
    // The window's index, its name written first when it is new.
    std::optional<std::uint8_t> FormIndex(const std::string& name);

    std::FILE* file_;
    std::string buffer_;
    std::vector<std::string> forms_;
    std::uint64_t hash_;
    std::uint64_t count_ = 0;
    std::uint32_t lastTick_ = 0;
    bool yield_ = false, idle_ = false;
    int sameTicks_ = 0;
    bool finished_ = false;
};

}  // namespace vorlax::replay
