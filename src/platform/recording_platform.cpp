#include "platform/recording_platform.h"

#include <fstream>
#include <sstream>

#include "core/game_files.h"
#include "core/random.h"
#include "platform/form.h"

namespace vorlax {
namespace {

RecordingPlatform* recording = nullptr;

std::optional<std::string> ReadTable(const std::string& folder) {
    std::ifstream in(folder + "/" + kHighScoreFileName, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// The table the game will read: the player's, or the delivered one it is
// copied from on the first start.
std::optional<std::string> TableToBeRead(Platform& platform) {
    std::optional<std::string> table;
    try {
        table = ReadTable(platform.ScoreFolder());
    } catch (const std::exception&) {
        // The game meets the same trouble itself and says so.
    }
    return table ? table : ReadTable(platform.ProgramFolder());
}

}  // namespace

RecordingPlatform::RecordingPlatform(Platform& inner, std::FILE* file)
    : RelayPlatform(inner), writer_(file, TableToBeRead(inner)) {
    inner_.SetInputTap(this);
    inner_.SetIdleTask([this] {
        writer_.Idle();
        RunIdleTask();
        writer_.Flush();
    });
    recording = this;
    RestartRandom();
}

RecordingPlatform::~RecordingPlatform() {
    writer_.Finish();
    inner_.SetInputTap(nullptr);
    inner_.SetIdleTask(nullptr);
    if (recording == this) recording = nullptr;
}

void RecordingPlatform::FinishAny() {
    if (recording != nullptr) recording->Finish();
}

std::int16_t RecordingPlatform::GetKeyState(int vk) {
    const bool held = inner_.GetKeyState(vk) < 0;
    if (held != held_[vk]) writer_.Key(vk, held);
    held_[vk] = held;
    return held ? static_cast<std::int16_t>(-128) : 0;
}

std::uint32_t RecordingPlatform::GetTickCount() {
    const std::uint32_t tick = inner_.GetTickCount();
    writer_.Tick(tick);
    return tick;
}

void RecordingPlatform::DoEvents(std::uint32_t maxWaitMs) {
    writer_.Yield();
    RelayPlatform::DoEvents(maxWaitMs);
    writer_.Flush();
}

void RecordingPlatform::RunEventLoop() {
    RelayPlatform::RunEventLoop();
    writer_.Flush();
}

bool RecordingPlatform::KeyDown(Form& form, int vk) {
    writer_.KeyDown(form.Name(), vk);
    Sync();
    return true;
}

bool RecordingPlatform::Text(Form& form, const std::string& utf8) {
    writer_.Text(form.Name(), utf8);
    Sync();
    return true;
}

bool RecordingPlatform::CloseBox(Form& form) {
    writer_.Close(form.Name());
    Sync();
    return true;
}

bool RecordingPlatform::Quit() {
    writer_.Quit();
    Sync();
    return true;
}

}  // namespace vorlax
