#include "scores/high_score_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <filesystem>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include "core/errors.h"
#include "core/game_state.h"
#include "support/temp_folder.h"

namespace vorlax {

// Readable failure messages for records (found by argument-dependent lookup).
[[maybe_unused]] static void PrintTo(const HighScoreRecord& r, std::ostream* os) {
    *os << "{" << r.score << ", \"" << r.name << "\"}";
}

namespace {

namespace fs = std::filesystem;

static_assert(kHighScoreRecords == kHighScoreRanks);

constexpr Long kMax = std::numeric_limits<Long>::max();
constexpr Long kMin = std::numeric_limits<Long>::min();

// A table whose rank r holds the score base - r and the name "P<r>".
HighScoreTable Ranked(Long base = 1000) {
    HighScoreTable table;
    for (int i = 0; i < kHighScoreRecords; ++i)
        table[i] = {base - (i + 1), "P" + std::to_string(i + 1)};
    return table;
}

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

TEST(FormatHighScores, WritesTenRecordsOfScoreCommaQuotedNameCrLf) {
    HighScoreTable table;
    table[0] = {12345, "ACE"};
    table[1] = {-7, "a, b"};
    table[2] = {kMin, " x "};
    table[3] = {kMax, "Zoë"};
    table[4] = {5, "\"Ace\" O\"Neil"};  // no escaping in this format: quotes become apostrophes
    table[5] = {6, "two\r\nlines\n"};   // and line ends blanks
    // The others stay at 0 and an empty name.
    EXPECT_EQ(FormatHighScores(table),
              "12345,\"ACE\"\r\n"
              "-7,\"a, b\"\r\n"
              "-2147483648,\" x \"\r\n"
              "2147483647,\"Zo\xC3\xAB\"\r\n"
              "5,\"'Ace' O'Neil\"\r\n"
              "6,\"two  lines \"\r\n"
              "0,\"\"\r\n0,\"\"\r\n0,\"\"\r\n0,\"\"\r\n");
}

TEST(ParseHighScores, ShortFileOrBadScoreNamesTheFileAndTheRecord) {
    const std::string junk = std::string(39, 'x') + "\xC3\xA9" + std::string(500, 'y');
    const std::string range = "\" is out of range (-2147483648 to 2147483647)";
    const std::pair<std::string, std::string> cases[] = {
        {"", "the file holds no records, but 10 are needed"},
        // A byte-order mark and blank lines are no records.
        {"\xEF\xBB\xBF\r\n  \r\n\t\n", "the file holds no records, but 10 are needed"},
        {Lines(1), "the file holds only 1 record, but 10 are needed"},
        {Lines(9) + "\r\n\r\n   ", "the file holds only 9 records, but 10 are needed"},
        // "abc" is on the fourth line but in record 3.
        {"10,\"A\"\r\n\r\n20,\"B\"\r\nabc,\"C\"\r\n" + Lines(7),
         "record 3: the score \"abc\" is not a whole number"},
        // A long field is cut short, but not inside a character.
        {junk + "\r\n" + Lines(9),
         "record 1: the score \"" + std::string(39, 'x') + "...\" is not a whole number"},
    };
    for (const auto& [content, why] : cases) EXPECT_EQ(ParseError(content), "Hiscore.txt: " + why);
    for (const std::string bad : {"", "   ", "12.5", "1 2", "-", "+-5", "0x10", "5a"}) {
        const std::string shown = bad == "   " ? "" : bad;
        EXPECT_EQ(ParseError(bad + ",\"X\"\r\n" + Lines(9)),
                  "Hiscore.txt: record 1: the score \"" + shown + "\" is not a whole number");
    }
    for (const std::string big : {"2147483648", "-2147483649", "123456789012345678901234567890"}) {
        EXPECT_EQ(ParseError(big + ",\"X\"\r\n" + Lines(9)),
                  "Hiscore.txt: record 1: the score \"" + big + range);
    }
}

TEST(ParseHighScores, AQuoteItsLineDoesNotCloseIsReportedInItsRecord) {
    // Record 2's name lacks its closing quote; the records below it are intact
    // and must not be taken into it.
    const std::string records = "1000,\"A\"\r\n900,\"B\r\n800,\"C\"\r\n" + Lines(7);
    EXPECT_EQ(ParseError(records), "Hiscore.txt: record 2: the name's closing quote is missing");
    const std::pair<std::string, std::string> cases[] = {
        // The last record, with no quote left in the file at all.
        {Lines(9) + "5,\"never closed, at all\r\n", "record 10: the name's closing quote"},
        {Lines(9) + "5,\"no line end either", "record 10: the name's closing quote"},
        {Lines(2) + "\"42,X\r\n" + Lines(7), "record 3: the score's closing quote"},
        {"7,\"a\rb\"\r\n" + Lines(9), "record 1: the name's closing quote"},
    };
    for (const auto& [content, why] : cases)
        EXPECT_EQ(ParseError(content), "Hiscore.txt: " + why + " is missing") << content;
}

TEST(ParseHighScores, ScoresAreWholeNumbersInTheLongRange) {
    const std::pair<std::string, Long> cases[] = {
        {"2147483647", kMax}, {"-2147483648", kMin}, {"+7", 7},
        {"007", 7},           {" \t-3 \t", -3},      {"-0", 0},
        {"\"42\"", 42},
    };
    for (const auto& [field, score] : cases)
        EXPECT_EQ(ParseHighScores(field + ",\"X\"\r\n" + Lines(9), "f")[0].score, score) << field;
}

TEST(ParseHighScores, AcceptsLineEndsAndBlanksTheGameDidNotWrite) {
    const HighScoreTable expected = ParseHighScores(Lines(10), "f");
    ASSERT_EQ(expected[9], (HighScoreRecord{100, "N10"}));
    std::string noFinalEnd = Lines(10);
    noFinalEnd.resize(noFinalEnd.size() - 2);
    std::string loose = "\xEF\xBB\xBF\n\n";  // a byte-order mark, blank lines, blanks around fields
    std::string mixed;
    for (int i = 1; i <= 10; ++i) {
        loose += "  " + std::to_string(i * 10) + " \t, \t\"N" + std::to_string(i) + "\"  \n \t \n";
        mixed += std::to_string(i * 10) + ",\"N" + std::to_string(i) + "\"" +
                 (i % 3 == 0   ? "\r\n"
                  : i % 3 == 1 ? "\n"
                               : "\r");
    }
    for (const std::string& content : {Lines(10, "\n"), Lines(10, "\r"), noFinalEnd, loose, mixed})
        EXPECT_EQ(ParseHighScores(content, "f"), expected) << content;
}

TEST(ParseHighScores, ToleratesOddNameFields) {
    const std::string odd =
        "1, plain name \r\n"        // unquoted: trimmed, up to the line end
        "2\r\n"                     // no name at all
        "3,\"A, B\"junk,more\r\n"   // text after the closing quote is dropped
        "4,\"Q\",5,\"R\"\r\n"       // a third field is not the next record
        "6, it\"s \"quoted\" \r\n"  // quotes inside an unquoted name are kept
        "7,\"\"\r\n";               // an empty quoted name
    const HighScoreTable t = ParseHighScores(Lines(4) + odd, "f");
    const HighScoreRecord expected[] = {{1, "plain name"},       {2, ""}, {3, "A, B"}, {4, "Q"},
                                        {6, "it\"s \"quoted\""}, {7, ""}};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(t[4 + i], expected[i]) << "record " << 5 + i;
}

class HighScoreFileTest : public ::testing::Test {
  protected:
    std::vector<std::string> FolderEntries() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder_.Path()))
            names.push_back(entry.path().filename().string());
        return names;
    }

    testing::TempFolder folder_;
    const std::string path_ = folder_.File("Hiscore.txt");
    const std::vector<std::string> justTheFile_ = {"Hiscore.txt"};
};

TEST_F(HighScoreFileTest, RoundTripKeepsEveryScoreAndNameAndWritesTheExactBytes) {
    HighScoreTable table;
    table[0] = {kMax, "Max"};
    table[1] = {5000, "Smith, John"};
    table[2] = {4000, "  blanks  around  "};
    table[3] = {3000, ""};
    table[4] = {0, "\xE5\xAE\x87\xE5\xAE\x99 J\xC3\xBCrgen"};
    table[5] = {0, ",,,"};
    table[6] = {-1, "minus"};
    table[7] = {-250, "tab\there"};
    table[8] = {kMin, "Min"};
    table[9] = {9999, "line\nbreak"};  // rising again: order is kept as is

    ASSERT_EQ(WriteHighScoreFile(path_, table), "");
    EXPECT_EQ(folder_.Read("Hiscore.txt"), FormatHighScores(table));
    HighScoreTable expected = table;
    expected[9].name = "line break";  // a line end cannot be stored in a name
    EXPECT_EQ(ReadHighScoreFile(path_), expected);
}

TEST_F(HighScoreFileTest, TwelveRecordsReadAsTenInFileOrderAndAreWrittenBackAsTen) {
    folder_.Write("Hiscore.txt", Lines(12));
    ASSERT_EQ(WriteHighScoreFile(path_, ReadHighScoreFile(path_)), "");
    EXPECT_EQ(folder_.Read("Hiscore.txt"), Lines(10));
}

TEST_F(HighScoreFileTest, MissingUnreadableOrShortFileNamesThePath) {
    const auto errorOf = [&] {
        try {
            ReadHighScoreFile(path_);
        } catch (const GameError& e) {
            EXPECT_EQ(e.Number(), kErrHighScoreFile);
            return std::string(e.what());
        }
        return std::string("no error");
    };
    EXPECT_EQ(errorOf(),
              "Could not open the high-score file " + path_ + ": No such file or directory");
    folder_.Write("Hiscore.txt", Lines(9));
    EXPECT_EQ(errorOf(), path_ + ": the file holds only 9 records, but 10 are needed");
    folder_.Remove("Hiscore.txt");
    fs::create_directory(path_);
    EXPECT_TRUE(errorOf().starts_with("Could not read the high-score file " + path_ + ": "));
}

TEST_F(HighScoreFileTest, WriteReplacesOrCreatesTheFileAndLeavesNoTemporaryFile) {
    folder_.Write("Hiscore.txt",
                  "old content, much longer than the new table\r\n" + std::string(5000, 'z'));
    ASSERT_EQ(WriteHighScoreFile(path_, Ranked()), "");
    EXPECT_EQ(folder_.Read("Hiscore.txt"), FormatHighScores(Ranked()));
    EXPECT_EQ(FolderEntries(), justTheFile_);
    folder_.Remove("Hiscore.txt");
    ASSERT_EQ(WriteHighScoreFile(path_, Ranked(7)), "");
    EXPECT_EQ(ReadHighScoreFile(path_), Ranked(7));
    EXPECT_EQ(FolderEntries(), justTheFile_);
}

TEST_F(HighScoreFileTest, FailedWriteLeavesTheOldFileByteForByte) {
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
    const std::string reason = WriteHighScoreFile(path_, Ranked());
    setrlimit(RLIMIT_FSIZE, &saved);
    sigaction(SIGXFSZ, &savedSignal, nullptr);

    EXPECT_EQ(reason, "Could not save the high scores to " + path_ + ": File too large");
    EXPECT_EQ(folder_.Read("Hiscore.txt"), old);
    EXPECT_EQ(FolderEntries(), justTheFile_);
}

TEST_F(HighScoreFileTest, FolderInPlaceOfTheFileOrMissingFolderIsReportedAndKept) {
    // The temporary file is written, but cannot be renamed over a folder.
    fs::create_directory(path_);
    folder_.Write("Hiscore.txt/inside.txt", "keep me");
    EXPECT_EQ(WriteHighScoreFile(path_, Ranked()),
              "Could not save the high scores to " + path_ + ": Is a directory");
    EXPECT_EQ(folder_.Read("Hiscore.txt/inside.txt"), "keep me");
    EXPECT_EQ(FolderEntries(), justTheFile_);

    const std::string inMissing = folder_.File("gone/Hiscore.txt");
    EXPECT_EQ(WriteHighScoreFile(inMissing, Ranked()),
              "Could not save the high scores to " + inMissing + ": No such file or directory");
    EXPECT_EQ(FolderEntries(), justTheFile_);
}

}  // namespace
}  // namespace vorlax
