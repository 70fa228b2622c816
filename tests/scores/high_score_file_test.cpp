#include "scores/high_score_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include "core/errors.h"
#include "core/game_state.h"

namespace vorlax {

// Readable failure messages for records (found by argument-dependent lookup).
[[maybe_unused]] static void PrintTo(const HighScoreRecord& r, std::ostream* os) {
    *os << "{" << r.score << ", \"" << r.name << "\"}";
}

namespace {

namespace fs = std::filesystem;

static_assert(kHighScoreRecords == kHighScoreRanks);

// A table whose rank r holds the score base - r and the name "P<r>".
HighScoreTable Ranked(Long base = 1000) {
    HighScoreTable table;
    for (int i = 0; i < kHighScoreRecords; ++i) {
        table[static_cast<std::size_t>(i)] = {base - (i + 1), "P" + std::to_string(i + 1)};
    }
    return table;
}

// `count` lines "<score>,"N<i>"" with the given line end, scores in rising order
// so that any sorting would show.
std::string Lines(int count, const std::string& lineEnd = "\r\n") {
    std::string out;
    for (int i = 1; i <= count; ++i) {
        out += std::to_string(i * 10) + ",\"N" + std::to_string(i) + "\"" + lineEnd;
    }
    return out;
}

// The description of the GameError that parsing `content` throws, or "" when
// it parses.
std::string ParseError(const std::string& content, const std::string& fileName = "Hiscore.txt") {
    try {
        ParseHighScores(content, fileName);
    } catch (const GameError& e) {
        EXPECT_EQ(e.Number(), kErrHighScoreFile);
        return e.what();
    }
    return "";
}

class HighScoreFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char dirTemplate[] = "/tmp/vorlax_hiscore_XXXXXX";
        ASSERT_NE(mkdtemp(dirTemplate), nullptr);
        dir_ = dirTemplate;
        path_ = (dir_ / "Hiscore.txt").string();
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }

    static std::string Slurp(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    static void Put(const std::string& path, const std::string& bytes) {
        std::ofstream out(path, std::ios::binary);
        out << bytes;
    }
    std::vector<std::string> FolderEntries() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_)) {
            names.push_back(entry.path().filename().string());
        }
        return names;
    }

    fs::path dir_;
    std::string path_;
};

TEST(FormatHighScores, WritesTenRecordsOfScoreCommaQuotedNameCrLf) {
    HighScoreTable table;
    table[0] = {12345, "ACE"};
    table[1] = {-7, "a, b"};
    table[2] = {std::numeric_limits<Long>::min(), " x "};
    table[3] = {std::numeric_limits<Long>::max(), "Zoë"};
    // The others stay at 0 and an empty name.
    EXPECT_EQ(FormatHighScores(table),
              "12345,\"ACE\"\r\n"
              "-7,\"a, b\"\r\n"
              "-2147483648,\" x \"\r\n"
              "2147483647,\"Zo\xC3\xAB\"\r\n"
              "0,\"\"\r\n0,\"\"\r\n0,\"\"\r\n0,\"\"\r\n0,\"\"\r\n0,\"\"\r\n");
}

TEST(FormatHighScores, DoubleQuoteInANameBecomesAnApostrophe) {
    HighScoreTable table = Ranked();
    table[4].name = "\"Ace\" O\"Neil";
    const std::string bytes = FormatHighScores(table);
    EXPECT_NE(bytes.find("995,\"'Ace' O'Neil\"\r\n"), std::string::npos);

    const HighScoreTable back = ParseHighScores(bytes, "Hiscore.txt");
    HighScoreTable expected = Ranked();
    expected[4].name = "'Ace' O'Neil";
    EXPECT_EQ(back, expected);
}

TEST(ParseHighScores, TakesTheFirstTenRecordsInFileOrder) {
    // Rising scores: the table keeps file order, it is never sorted.
    const HighScoreTable table = ParseHighScores(Lines(12), "Hiscore.txt");
    for (int i = 0; i < kHighScoreRecords; ++i) {
        EXPECT_EQ(table[static_cast<std::size_t>(i)].score, (i + 1) * 10);
        EXPECT_EQ(table[static_cast<std::size_t>(i)].name, "N" + std::to_string(i + 1));
    }
    EXPECT_EQ(ParseHighScores(Lines(10), "Hiscore.txt"), table);
}

TEST(ParseHighScores, TooFewRecordsNamesTheFileAndTheCount) {
    const std::string nine = ParseError(Lines(9), "/games/vorlax/Hiscore.txt");
    EXPECT_NE(nine.find("/games/vorlax/Hiscore.txt"), std::string::npos) << nine;
    EXPECT_NE(nine.find("only 9 records"), std::string::npos) << nine;
    EXPECT_NE(nine.find("10"), std::string::npos) << nine;

    EXPECT_NE(ParseError(Lines(1)).find("only 1 record,"), std::string::npos);
    EXPECT_NE(ParseError("").find("no records"), std::string::npos);
    // Blank lines and a byte-order mark are not records.
    EXPECT_NE(ParseError("\xEF\xBB\xBF\r\n  \r\n\t\n").find("no records"), std::string::npos);
    EXPECT_NE(ParseError(Lines(9) + "\r\n\r\n   ").find("only 9 records"), std::string::npos);
}

TEST(ParseHighScores, BadScoreNamesTheFileAndTheRecord) {
    // The blank line does not count: "abc" is on the fourth line but in record 3.
    const std::string content = "10,\"A\"\r\n\r\n20,\"B\"\r\nabc,\"C\"\r\n" + Lines(7);
    EXPECT_EQ(ParseError(content),
              "Hiscore.txt: record 3: the score \"abc\" is not a whole number");
}

TEST(ParseHighScores, ScoreMustBeAWholeNumberInTheLongRange) {
    auto scoreOf = [](const std::string& field) {
        return ParseHighScores(field + ",\"X\"\r\n" + Lines(9), "Hiscore.txt")[0].score;
    };
    EXPECT_EQ(scoreOf("2147483647"), std::numeric_limits<Long>::max());
    EXPECT_EQ(scoreOf("-2147483648"), std::numeric_limits<Long>::min());
    EXPECT_EQ(scoreOf("+7"), 7);
    EXPECT_EQ(scoreOf("007"), 7);
    EXPECT_EQ(scoreOf(" \t-3 \t"), -3);
    EXPECT_EQ(scoreOf("-0"), 0);
    EXPECT_EQ(scoreOf("\"42\""), 42);

    for (const std::string bad : {"", "   ", "12.5", "abc", "1 2", "-", "+", "+-5", "0x10", "5a"}) {
        const std::string why = ParseError(bad + ",\"X\"\r\n" + Lines(9));
        EXPECT_NE(why.find("record 1: "), std::string::npos) << "[" << bad << "] " << why;
        EXPECT_NE(why.find("is not a whole number"), std::string::npos) << "[" << bad << "]";
    }
    for (const std::string big :
         {"2147483648", "-2147483649", "99999999999", "123456789012345678901234567890"}) {
        const std::string why = ParseError(big + ",\"X\"\r\n" + Lines(9));
        EXPECT_NE(why.find("record 1: the score \"" + big + "\" is out of range"),
                  std::string::npos)
            << why;
    }
}

TEST(ParseHighScores, LongBadFieldIsCutShortWithoutSplittingACharacter) {
    const std::string junk = std::string(39, 'x') + "\xC3\xA9" + std::string(500, 'y');
    const std::string why = ParseError(junk + "\r\n" + Lines(9));
    EXPECT_NE(why.find("\"" + std::string(39, 'x') + "...\""), std::string::npos) << why;
    EXPECT_LT(why.size(), 120u);
}

TEST(ParseHighScores, AcceptsLineEndsAndBlanksTheGameDidNotWrite) {
    HighScoreTable expected;
    for (int i = 0; i < kHighScoreRecords; ++i) {
        expected[static_cast<std::size_t>(i)] = {(i + 1) * 10, "N" + std::to_string(i + 1)};
    }
    EXPECT_EQ(ParseHighScores(Lines(10, "\n"), "f"), expected);
    EXPECT_EQ(ParseHighScores(Lines(10, "\r"), "f"), expected);
    // The last record may lack its line end.
    std::string noFinalEnd = Lines(10);
    noFinalEnd.resize(noFinalEnd.size() - 2);
    EXPECT_EQ(ParseHighScores(noFinalEnd, "f"), expected);
    // A byte-order mark, blank lines, and blanks around every field.
    std::string loose = "\xEF\xBB\xBF\n\n";
    for (int i = 1; i <= 10; ++i) {
        loose += "  " + std::to_string(i * 10) + " \t, \t\"N" + std::to_string(i) + "\"  \n \t \n";
    }
    EXPECT_EQ(ParseHighScores(loose, "f"), expected);
    // Mixed line ends in one file.
    const char* const ends[] = {"\r\n", "\n", "\r"};
    std::string mixed;
    for (int i = 1; i <= 10; ++i) {
        mixed += std::to_string(i * 10) + ",\"N" + std::to_string(i) + "\"" + ends[i % 3];
    }
    EXPECT_EQ(ParseHighScores(mixed, "f"), expected);
}

TEST(ParseHighScores, ToleratesOddNameFields) {
    const std::string content =
        "1, plain name \r\n"             // unquoted: trimmed, up to the line end
        "2\r\n"                          // no name at all
        "3,\r\n"                         // an empty unquoted name
        "4,\"\"\r\n"                     // an empty quoted name
        "5,\"A, B\"junk,more\r\n"        // text after the closing quote is dropped
        "6,\"Q\",7,\"R\"\r\n"            // a third field is not the next record
        "7, it\"s \"quoted\" \r\n"       // quotes inside an unquoted name are kept
        "9,  \"  spaced  \"  \r\n"       // blanks inside the quotes are kept
        "10,\"two\r\nlines\"\r\n"        // a quoted name runs to the next quote
        "11,\"never closed, at all\r\n"  // with no quote left, the line ends it
        "12,ignored";
    const HighScoreTable t = ParseHighScores(content, "f");
    const std::vector<HighScoreRecord> expected = {{1, "plain name"},
                                                   {2, ""},
                                                   {3, ""},
                                                   {4, ""},
                                                   {5, "A, B"},
                                                   {6, "Q"},
                                                   {7, "it\"s \"quoted\""},
                                                   {9, "  spaced  "},
                                                   {10, "two\r\nlines"},
                                                   {11, "never closed, at all"}};
    ASSERT_EQ(expected.size(), t.size());
    for (std::size_t i = 0; i < t.size(); ++i) EXPECT_EQ(t[i], expected[i]) << "record " << i + 1;
}

TEST(ParseHighScores, UnclosedQuoteRunsToTheNextQuoteFurtherOn) {
    // The same rule as for a name holding a line break: the field only ends at
    // the next double quote, so the records it swallows are missing.
    const std::string content = "1,\"open\r\n2,\"B\"\r\n" + Lines(8);
    const HighScoreTable t = ParseHighScores(content + Lines(1), "f");
    EXPECT_EQ(t[0], (HighScoreRecord{1, "open\r\n2,"}));
    EXPECT_EQ(t[1], (HighScoreRecord{10, "N1"}));
    EXPECT_NE(ParseError(content).find("only 9 records"), std::string::npos);
}

TEST_F(HighScoreFileTest, RoundTripKeepsEveryScoreAndNameAndWritesTheExactBytes) {
    HighScoreTable table;
    table[0] = {std::numeric_limits<Long>::max(), "Max"};
    table[1] = {5000, "Smith, John"};
    table[2] = {4000, "  blanks  around  "};
    table[3] = {3000, ""};
    table[4] = {0, "\xE5\xAE\x87\xE5\xAE\x99 J\xC3\xBCrgen"};
    table[5] = {0, ",,,"};
    table[6] = {-1, "minus"};
    table[7] = {-250, "tab\there"};
    table[8] = {std::numeric_limits<Long>::min(), "Min"};
    table[9] = {9999, "line\nbreak"};  // rising again: order is kept as is

    ASSERT_EQ(WriteHighScoreFile(path_, table), "");
    EXPECT_EQ(Slurp(path_), FormatHighScores(table));
    EXPECT_EQ(ReadHighScoreFile(path_), table);
    // An unchanged table is written back unchanged.
    const std::string first = Slurp(path_);
    ASSERT_EQ(WriteHighScoreFile(path_, ReadHighScoreFile(path_)), "");
    EXPECT_EQ(Slurp(path_), first);
}

TEST_F(HighScoreFileTest, TwelveRecordsReadAsTenAndAreWrittenBackAsTen) {
    Put(path_, Lines(12));
    const HighScoreTable table = ReadHighScoreFile(path_);
    ASSERT_EQ(WriteHighScoreFile(path_, table), "");
    EXPECT_EQ(Slurp(path_), Lines(10));
}

TEST_F(HighScoreFileTest, MissingOrUnreadableFileNamesTheFile) {
    try {
        ReadHighScoreFile(path_);
        FAIL() << "no error for a missing file";
    } catch (const GameError& e) {
        EXPECT_EQ(e.Number(), kErrHighScoreFile);
        EXPECT_NE(std::string(e.what()).find(path_), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("No such file"), std::string::npos) << e.what();
    }
    fs::create_directory(path_);
    try {
        ReadHighScoreFile(path_);
        FAIL() << "no error for a folder in place of the file";
    } catch (const GameError& e) {
        EXPECT_NE(std::string(e.what()).find(path_), std::string::npos) << e.what();
    }
}

TEST_F(HighScoreFileTest, ShortFileReadFromDiskNamesThePath) {
    Put(path_, Lines(9));
    try {
        ReadHighScoreFile(path_);
        FAIL() << "no error for nine records";
    } catch (const GameError& e) {
        EXPECT_NE(std::string(e.what()).find(path_ + ": "), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("only 9 records"), std::string::npos) << e.what();
    }
}

TEST_F(HighScoreFileTest, SuccessfulWriteReplacesTheFileAndLeavesNoTemporaryFile) {
    Put(path_, "old content that is much longer than the new table will be ..........\r\n" +
                   std::string(5000, 'z'));
    ASSERT_EQ(WriteHighScoreFile(path_, Ranked()), "");
    EXPECT_EQ(Slurp(path_), FormatHighScores(Ranked()));
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"Hiscore.txt"});
    // Creating the file works too.
    fs::remove(path_);
    ASSERT_EQ(WriteHighScoreFile(path_, Ranked(7)), "");
    EXPECT_EQ(ReadHighScoreFile(path_), Ranked(7));
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"Hiscore.txt"});
}

TEST_F(HighScoreFileTest, FailedWriteLeavesTheOldFileByteForByte) {
    const std::string old = Lines(10) + "trailing bytes the game would not write\r\n";
    Put(path_, old);

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
    const std::string reason = WriteHighScoreFile(path_, Ranked());
    setrlimit(RLIMIT_FSIZE, &saved);
    sigaction(SIGXFSZ, &savedSignal, nullptr);

    EXPECT_NE(reason.find("Could not save the high scores to " + path_ + ": "), std::string::npos)
        << reason;
    EXPECT_EQ(Slurp(path_), old);
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"Hiscore.txt"});
}

TEST_F(HighScoreFileTest, FolderInPlaceOfTheFileIsReportedAndKept) {
    fs::create_directory(path_);
    Put(path_ + "/inside.txt", "keep me");
    const std::string reason = WriteHighScoreFile(path_, Ranked());
    EXPECT_NE(reason.find("Could not save the high scores to " + path_ + ": "), std::string::npos)
        << reason;
    EXPECT_TRUE(fs::is_directory(path_));
    EXPECT_EQ(Slurp(path_ + "/inside.txt"), "keep me");
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"Hiscore.txt"});
}

TEST_F(HighScoreFileTest, MissingFolderIsReported) {
    const std::string inMissing = (dir_ / "gone" / "Hiscore.txt").string();
    const std::string reason = WriteHighScoreFile(inMissing, Ranked());
    EXPECT_EQ(reason,
              "Could not save the high scores to " + inMissing + ": No such file or directory");
    EXPECT_FALSE(fs::exists(dir_ / "gone"));
    EXPECT_TRUE(FolderEntries().empty());
}

}  // namespace
}  // namespace vorlax
