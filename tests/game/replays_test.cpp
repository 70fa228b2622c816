// Replays: a piloted game recorded on the headless platform plays back the
// same in every frame; the games kept in tests/data/replays play to their
// recorded ends; a file that is no complete replay of this version is
// refused, saying why, and a well-formed one that leads elsewhere runs out.
#include "game/replays.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "support/replay_games.h"
#include "support/temp_folder.h"

namespace vorlax {
namespace {

using replay::ReplayError;
using testing::PlayedGame;
namespace fs = std::filesystem;

const fs::path kKept = fs::path(VORLAX_TEST_DATA) / "replays";

// Low scores, so that any game enters a name.
constexpr const char* kLowTable =
    "900,\"A\"\r\n800,\"B\"\r\n700,\"C\"\r\n600,\"D\"\r\n500,\"E\"\r\n"
    "400,\"F\"\r\n300,\"G\"\r\n200,\"H\"\r\n100,\"I\"\r\n50,\"J\"\r\n";

std::string Summary(const PlayedGame& g) {
    return ResultLine("", g.end);
}

// The first frame after which the two games' states differ, or -1.
long FirstDifference(const std::vector<std::uint64_t>& a, const std::vector<std::uint64_t>& b,
                     long every = 1) {
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        if (a[i] != b[i]) return static_cast<long>(i) * every;
    return a.size() == b.size() ? -1 : static_cast<long>(std::min(a.size(), b.size())) * every;
}

class Replays : public ::testing::Test {
  protected:
    Replays() {
        game.CopyAssets();
        game.Write("Hiscore.txt", kLowTable);
    }
    // Records a piloted game; its replay's bytes.
    std::string Record(int budget, PlayedGame* played = nullptr) {
        const PlayedGame g = testing::RecordPilotedGame(game.Path().string(), File(), budget);
        if (played != nullptr) *played = g;
        return game.Read("game.rpl");
    }
    std::string File() const { return (game.Path() / "game.rpl").string(); }

    testing::TempFolder game;
};

TEST_F(Replays, ARecordedGamePlaysBackTheSameInEveryFrame) {
    PlayedGame played;
    const std::string bytes = Record(1500, &played);
    // Waves, hits, a carrier visit with docking, lost ships, a name entered.
    EXPECT_TRUE(played.end.wave > 2 && played.end.score > 0 && played.docked &&
                played.end.shipsLost > 0);
    EXPECT_LT(bytes.size(), played.sums.size() * 5) << "a few bytes a frame";
    const std::string table = game.Read("Hiscore.txt");
    ASSERT_NE(table.find("Ace"), std::string::npos);
    const PlayedGame back = testing::PlayBack(replay::Parse(bytes));
    EXPECT_EQ(FirstDifference(played.sums, back.sums), -1);
    EXPECT_EQ(Summary(back), Summary(played));
    EXPECT_EQ(back.table, played.table) << "the recorded table, the name entered again";
    EXPECT_EQ(game.Read("Hiscore.txt"), table) << "the player's table is never written";

    if (const char* keep = std::getenv("VORLAX_KEEP_REPLAY")) {
        // Makes a game for tests/data/replays: the file, its end and every
        // hundredth frame's checksum.
        fs::copy_file(File(), kKept / (std::string(keep) + ".rpl"),
                      fs::copy_options::overwrite_existing);
        std::ofstream sums(kKept / (std::string(keep) + ".sums"));
        sums << Summary(played) << "\n";
        for (std::size_t i = 0; i < played.sums.size(); i += 100) sums << played.sums[i] << "\n";
    }
}

TEST_F(Replays, KeptGamesPlayToTheirRecordedEnds) {
    int kept = 0;
    for (const auto& entry : fs::directory_iterator(kKept)) {
        if (entry.path().extension() != ".rpl") continue;
        SCOPED_TRACE(entry.path().filename().string());
        ++kept;
        std::ifstream sums(fs::path(entry.path()).replace_extension(".sums"));
        std::string end;
        std::getline(sums, end);
        std::vector<std::uint64_t> expected, every100;
        for (std::uint64_t s; sums >> s;) expected.push_back(s);
        const PlayedGame back = testing::PlayBack(LoadReplay(entry.path().string()));
        for (std::size_t i = 0; i < back.sums.size(); i += 100) every100.push_back(back.sums[i]);
        EXPECT_EQ(FirstDifference(expected, every100, 100), -1)
            << "the first frame that went elsewhere";
        EXPECT_EQ(Summary(back), end);
    }
    EXPECT_GE(kept, 1);
}

TEST_F(Replays, AFileThatIsNoCompleteReplayIsRefusedSayingWhyOneThatLeadsElsewhereRunsOut) {
    const std::string good = Record(300);
    auto why = [](const std::string& bytes) {
        try {
            replay::Parse(bytes);
        } catch (const ReplayError& e) {
            return e.why;
        }
        return ReplayError::Why{-1};
    };
    EXPECT_EQ(why(good), ReplayError::Why{-1});
    EXPECT_EQ(why("VORLAXR"), ReplayError::Why::NotAReplay);
    EXPECT_EQ(why("12000,\"Starhawk\"\r\n"), ReplayError::Why::NotAReplay);
    std::string other = good;
    other[8] = 2;
    EXPECT_EQ(why(other), ReplayError::Why::OtherVersion);
    for (std::size_t size = 9; size < good.size(); size += 1 + size / 7)
        EXPECT_EQ(why(good.substr(0, size)), ReplayError::Why::CutShort) << size;
    for (std::size_t at = 9; at < good.size(); at += 1 + at / 5) {
        std::string damaged = good;
        damaged[at] = static_cast<char>(damaged[at] ^ 0x10);
        const auto w = why(damaged);
        EXPECT_TRUE(w == ReplayError::Why::Damaged || w == ReplayError::Why::CutShort) << at;
    }

    // Every answer of the game but the held keys and the key presses.
    replay::Replay elsewhere = replay::Parse(good);
    std::erase_if(elsewhere.records, [](const replay::Record& r) {
        return r.kind == replay::Kind::Key || r.kind == replay::Kind::KeyDown;
    });
    EXPECT_EQ(testing::PlayBack(elsewhere).end.score, 0);

    // Clock readings that step back, or far on, read as written.
    const std::vector<std::uint32_t> ticks = {5, 3, 4000000000u, 7, 7, 40};
    std::FILE* file = std::fopen(File().c_str(), "wb");
    replay::Writer writer(file, std::nullopt);
    for (std::uint32_t t : ticks) writer.Tick(t);
    writer.Finish();
    std::fclose(file);
    std::vector<std::uint32_t> read;
    for (const replay::Record& r : LoadReplay(File()).records) read.push_back(r.value);
    EXPECT_EQ(read, ticks);
}

}  // namespace
}  // namespace vorlax
