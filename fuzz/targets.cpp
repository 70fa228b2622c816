#include "fuzz/targets.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>
#include <string_view>

#include "core/errors.h"
#include "core/game_files.h"
#include "platform/replay_file.h"
#include "raster/bitmap_file.h"
#include "scores/high_score_file.h"

namespace vorlax::fuzz {
namespace {

struct Size {
    int width, height;
};

// Every size the game reads a bitmap at: the ship, the carrier, enemy types
// 1 to 11, the key pictures.
constexpr std::array<Size, 3 + kEnemyTypes> AllSizes() {
    std::array<Size, 3 + kEnemyTypes> sizes{};
    sizes[0] = {kShipWidth, kShipHeight};
    sizes[1] = {kCarrierWidth, kCarrierHeight};
    for (int n = 1; n <= kEnemyTypes; ++n)
        sizes[static_cast<std::size_t>(1 + n)] = {kEnemyWidths[n], kEnemyHeights[n]};
    sizes.back() = {kKeyPictureSize, kKeyPictureSize};
    return sizes;
}
constexpr std::array<Size, 3 + kEnemyTypes> kSizes = AllSizes();

[[noreturn]] void Broken() {
    std::abort();
}

}  // namespace

void HighScoreInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view content(reinterpret_cast<const char*>(data), size);
    HighScoreTable table;
    try {
        table = ParseHighScores(content, kHighScoreFileName);
    } catch (const GameError& e) {
        if (e.Number() != kErrHighScoreFile) Broken();
        return;
    }
    const std::string written = FormatHighScores(table);
    int lines = 0;
    for (std::size_t at = written.find("\r\n"); at != std::string::npos;
         at = written.find("\r\n", at + 2))
        ++lines;
    if (lines != kHighScoreRecords || !written.ends_with("\r\n")) Broken();
    HighScoreTable again;
    try {
        again = ParseHighScores(written, kHighScoreFileName);
    } catch (const GameError&) {
        Broken();  // the game could not read what it wrote itself
    }
    for (HighScoreRecord& record : table) {
        for (char& c : record.name) {
            if (c == '"') c = '\'';
            if (c == '\r' || c == '\n') c = ' ';
        }
    }
    if (again != table) Broken();
}

void BitmapInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return;
    const Size expected = kSizes[data[0] % kSizes.size()];
    try {
        const Surface picture = DecodeBitmap(std::span<const std::uint8_t>(data + 1, size - 1),
                                             expected.width, expected.height);
        if (picture.Width() != expected.width || picture.Height() != expected.height) Broken();
        // Every pixel holds a colour, nothing in the top byte.
        for (int y = 0; y < picture.Height(); ++y)
            for (int x = 0; x < picture.Width(); ++x)
                if (picture.Row(y)[x] > 0xFFFFFFu) Broken();
    } catch (const BitmapError&) {
        // Refused, with a reason: fine.
    }
}

namespace {

// The replay's records and what they name, in the order they come.
std::string Spelled(const replay::Replay& r) {
    std::string s = r.table ? "T" + *r.table : "-";
    for (const replay::Record& x : r.records) {
        s += std::to_string(static_cast<int>(x.kind)) + "," + std::to_string(x.vk) + "," +
             std::to_string(x.held) + ",";
        if (x.kind == replay::Kind::Tick) s += std::to_string(x.value);
        if (x.kind == replay::Kind::KeyDown || x.kind == replay::Kind::Text ||
            x.kind == replay::Kind::Close)
            s += r.forms.at(x.form);
        if (x.kind == replay::Kind::Text) s += "|" + r.texts.at(x.value);
        s += ";";
    }
    return s;
}

}  // namespace

void ReplayInput(const std::uint8_t* data, std::size_t size) {
    replay::Replay read;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    try {
        read = replay::Parse(bytes);
    } catch (const replay::ReplayError&) {
        // A mutation seldom keeps the checksum: read the records regardless.
        try {
            read = replay::Parse(bytes, false);
        } catch (const replay::ReplayError&) {
            return;
        }
    }
    char* out = nullptr;
    std::size_t length = 0;
    std::FILE* file = open_memstream(&out, &length);
    if (file == nullptr) Broken();
    {
        replay::Writer w(file, read.table);
        for (const replay::Record& x : read.records) {
            switch (x.kind) {
                case replay::Kind::Tick:
                    w.Tick(x.value);
                    break;
                case replay::Kind::Key:
                    w.Key(x.vk, x.held);
                    break;
                case replay::Kind::Yield:
                    w.Yield();
                    break;
                case replay::Kind::Idle:
                    w.Idle();
                    break;
                case replay::Kind::KeyDown:
                    w.KeyDown(read.forms.at(x.form), x.vk);
                    break;
                case replay::Kind::Text:
                    w.Text(read.forms.at(x.form), read.texts.at(x.value));
                    break;
                case replay::Kind::Close:
                    w.Close(read.forms.at(x.form));
                    break;
                case replay::Kind::Quit:
                    w.Quit();
                    break;
            }
        }
        w.Finish();
    }
    std::fclose(file);
    const std::string written(out, length);
    std::free(out);
    try {
        if (Spelled(replay::Parse(written)) != Spelled(read)) Broken();
    } catch (const replay::ReplayError&) {
        Broken();  // the game could not read what it wrote itself
    }
}

}  // namespace vorlax::fuzz
