// The inputs the fuzzers kept (tests/data/fuzz/, made by `make fuzz`), fed
// once more through the fuzz targets' bodies: every later change to the
// high-score reader or the bitmap reader meets them, without clang. A broken
// promise aborts the test program; the sanitizer build checks memory too.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz/targets.h"

namespace vorlax {
namespace {

namespace fs = std::filesystem;

// Feeds every file of the corpus `name` to `target`; returns how many.
int Replay(const std::string& name, void (*target)(const std::uint8_t*, std::size_t)) {
    int inputs = 0;
    for (const auto& entry : fs::directory_iterator(fs::path(VORLAX_TEST_DATA) / "fuzz" / name)) {
        std::ifstream in(entry.path(), std::ios::binary);
        const std::vector<char> bytes{std::istreambuf_iterator<char>(in), {}};
        SCOPED_TRACE(entry.path().filename().string());
        target(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        ++inputs;
    }
    return inputs;
}

TEST(FuzzCorpus, EveryKeptHighScoreFileIsReadOrRefusedAndWrittenBackFaithfully) {
    EXPECT_GE(Replay("high_score", fuzz::HighScoreInput), 20);
}

TEST(FuzzCorpus, EveryKeptBitmapIsReadAtItsSizeOrRefusedWithAReason) {
    EXPECT_GE(Replay("bitmap", fuzz::BitmapInput), 20);
}

TEST(FuzzCorpus, EveryKeptReplayIsReadAndWrittenBackFaithfullyOrRefused) {
    EXPECT_GE(Replay("replay", fuzz::ReplayInput), 5);
}

}  // namespace
}  // namespace vorlax
