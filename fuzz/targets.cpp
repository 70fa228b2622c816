#include "fuzz/targets.h"

#include <array>
#include <cstdlib>
#include <span>
#include <string>
#include <string_view>

#include "core/errors.h"
#include "core/game_files.h"
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

}  // namespace vorlax::fuzz
