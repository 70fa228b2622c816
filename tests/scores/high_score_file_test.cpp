#include "scores/high_score_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "core/errors.h"
#include "core/game_state.h"
#include "support/temp_folder.h"

namespace vorlax {

namespace {

namespace fs = std::filesystem;

constexpr Long kMax = std::numeric_limits<Long>::max();
constexpr Long kMin = std::numeric_limits<Long>::min();

// `count` records "<10 i>,"N<i>"" with the given line end, the scores rising
// so that any sorting would show.
std::string Lines(int count, const std::string& lineEnd = "\r\n") {
    std::string out;
    for (int i = 1; i <= count; ++i)
        out += std::to_string(i * 10) + ",\"N" + std::to_string(i) + "\"" + lineEnd;
    return out;
}

// The description of the GameError that parsing `content` throws, or "" when
// it parses.
std::string ParseError(const std::string& content) {
    try {
        ParseHighScores(content, "Hiscore.txt");
    } catch (const GameError& e) {
        EXPECT_EQ(e.Number(), kErrHighScoreFile);
        return e.what();
    }
    return "";
}

TEST(ParseHighScores, AFaultyFileNamesTheFileTheRecordAndWhatIsWrongThere) {
    const std::pair<std::string, std::string> cases[] = {
        // A byte-order mark and blank lines are no records.
        {"\xEF\xBB\xBF\r\n  \r\n\t\n", "the file holds no records, but 10 are needed"},
        {Lines(9) + "\r\n\r\n   ", "the file holds only 9 records, but 10 are needed"},
        // "abc" is on the fourth line but in record 3.
        {"10,\"A\"\r\n\r\n20,\"B\"\r\nabc,\"C\"\r\n" + Lines(7),
         "record 3: the score \"abc\" is not a whole number"},
        {"2147483648,\"X\"\r\n" + Lines(9),
         "record 1: the score \"2147483648\" is out of range (-2147483648 to 2147483647)"},
        // Record 2's name lacks its closing quote; the intact records below it
        // are not taken into it.
        {"1000,\"A\"\r\n900,\"B\r\n800,\"C\"\r\n" + Lines(7),
         "record 2: the name's closing quote is missing"},
    };
    for (const auto& [content, why] : cases) EXPECT_EQ(ParseError(content), "Hiscore.txt: " + why);
}

class HighScoreFileTest : public ::testing::Test {
  protected:
    // The folder holds the file and nothing else: no temporary file is left.
    void ExpectOnlyTheFile() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder_.Path()))
            names.push_back(entry.path().filename().string());
        EXPECT_EQ(names, std::vector<std::string>{"Hiscore.txt"});
    }

    testing::TempFolder folder_;
    const std::string path_ = folder_.File("Hiscore.txt");
    const HighScoreTable table_ = ParseHighScores(Lines(10), "f");
};

TEST_F(HighScoreFileTest, WritingReplacesTheFileWithExactlyTheTableThatReadsBack) {
    folder_.Write("Hiscore.txt",
                  "old content, much longer than the table\r\n" + std::string(5000, 'z'));
    HighScoreTable table = table_;
    table[0] = {kMax, "Smith, John"};
    table[9] = {kMin, "  blanks  "};
    ASSERT_EQ(WriteHighScoreFile(path_, table), "");
    EXPECT_EQ(folder_.Read("Hiscore.txt"), FormatHighScores(table));
    EXPECT_EQ(ReadHighScoreFile(path_), table);
    ExpectOnlyTheFile();
    // Twelve records read as the first ten, written back as ten.
    folder_.Write("Hiscore.txt", Lines(12));
    ASSERT_EQ(WriteHighScoreFile(path_, ReadHighScoreFile(path_)), "");
    EXPECT_EQ(folder_.Read("Hiscore.txt"), Lines(10));
}

TEST_F(HighScoreFileTest, AFailedWriteLeavesTheOldFileByteForByte) {
    const std::string old = Lines(10) + "trailing bytes the game would not write\r\n";
    folder_.Write("Hiscore.txt", old);
    // A full disk, simulated with a file-size limit that binds root too: the
    // write of the temporary file stops after a few bytes.
    struct rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    struct sigaction ignoreSignal {
    }, savedSignal{};
    ignoreSignal.sa_handler = SIG_IGN;
    ASSERT_EQ(sigaction(SIGXFSZ, &ignoreSignal, &savedSignal), 0);
    struct rlimit tiny = saved;
    tiny.rlim_cur = 16;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tiny), 0);
    const std::string reason = WriteHighScoreFile(path_, table_);
    setrlimit(RLIMIT_FSIZE, &saved);
    sigaction(SIGXFSZ, &savedSignal, nullptr);
    EXPECT_EQ(reason, "Could not save the high scores to " + path_ + ": File too large");
    EXPECT_EQ(folder_.Read("Hiscore.txt"), old);
    ExpectOnlyTheFile();

    // A folder in the file's place cannot be renamed over, and is kept.
    folder_.Remove("Hiscore.txt");
    fs::create_directory(path_);
    folder_.Write("Hiscore.txt/inside.txt", "keep me");
    EXPECT_EQ(WriteHighScoreFile(path_, table_),
              "Could not save the high scores to " + path_ + ": Is a directory");
    EXPECT_EQ(folder_.Read("Hiscore.txt/inside.txt"), "keep me");
    ExpectOnlyTheFile();
}

}  // namespace
}  // namespace vorlax
