#include "scores/high_score_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <optional>
#include <vector>

#include "core/errors.h"

namespace vorlax {
namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
bool IsLineEnd(char c) {
    return c == '\r' || c == '\n';
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

struct Field {
    std::string_view text;
    bool lineEnded = false;  // the field was the last one on its line
    bool unclosed = false;   // it opened a double quote that its line never closes
};

// Walks through the file content field by field, the way the game has always
// read its records: fields end at a comma or a line end, and a field opened
// with a double quote runs to the next double quote, commas and blanks
// included. The game never writes a line end inside a field, so a quote that
// its own line does not close is reported rather than allowed to run on into
// the records below it.
class FieldReader {
  public:
    explicit FieldReader(std::string_view content) : s_(content) {
        if (s_.starts_with(kUtf8ByteOrderMark)) pos_ = kUtf8ByteOrderMark.size();
    }

    // Moves to the start of the next record, passing over lines that hold
    // nothing but blanks. Returns false when the content is used up.
    bool StartRecord() {
        for (;;) {
            SkipBlanks();
            if (AtEnd()) return false;
            if (!IsLineEnd(s_[pos_])) return true;
            SkipLineEnd();
        }
    }

    Field ReadField() {
        SkipBlanks();
        if (!AtEnd() && s_[pos_] == '"') return ReadQuotedField();
        const std::size_t start = pos_;
        while (!AtEnd() && s_[pos_] != ',' && !IsLineEnd(s_[pos_])) ++pos_;
        Field field{TrimBlanks(s_.substr(start, pos_ - start))};
        field.lineEnded = SkipSeparator();
        return field;
    }

    // Passes over whatever is left of the current line, line end included.
    void SkipRestOfLine() {
        while (!AtEnd() && !IsLineEnd(s_[pos_])) ++pos_;
        SkipLineEnd();
    }

  private:
    Field ReadQuotedField() {
        const std::size_t start = pos_ + 1;
        std::size_t close = start;
        while (close < s_.size() && s_[close] != '"' && !IsLineEnd(s_[close])) ++close;
        if (close >= s_.size() || s_[close] != '"') {
            pos_ = close;
            Field field{s_.substr(start, close - start)};
            SkipLineEnd();
            field.lineEnded = true;
            field.unclosed = true;
            return field;
        }
        Field field{s_.substr(start, close - start)};
        // Anything between the closing quote and the next separator is dropped.
        pos_ = close + 1;
        while (!AtEnd() && s_[pos_] != ',' && !IsLineEnd(s_[pos_])) ++pos_;
        field.lineEnded = SkipSeparator();
        return field;
    }

    // Consumes the comma or line end at the current position. Returns true
    // when the line ended (a line end or the end of the content).
    bool SkipSeparator() {
        if (AtEnd()) return true;
        if (s_[pos_] == ',') {
            ++pos_;
            return false;
        }
        SkipLineEnd();
        return true;
    }

    bool AtEnd() const { return pos_ >= s_.size(); }

    void SkipBlanks() {
        while (!AtEnd() && IsBlank(s_[pos_])) ++pos_;
    }

    // CR LF, LF and CR each count as one line end.
    void SkipLineEnd() {
        if (AtEnd()) return;
        if (s_[pos_] == '\r') {
            ++pos_;
            if (!AtEnd() && s_[pos_] == '\n') ++pos_;
        } else if (s_[pos_] == '\n') {
            ++pos_;
        }
    }

    std::string_view s_;
    std::size_t pos_ = 0;
};

enum class ScoreProblem { kNone, kNotWholeNumber, kOutOfRange };

// A whole number with an optional sign and at least one digit, blanks around
// it allowed. Leading zeros and a plus sign are tolerated on reading.
ScoreProblem ParseScore(std::string_view text, Long& score) {
    text = TrimBlanks(text);
    // from_chars takes a minus sign but not a plus.
    if (text.starts_with('+')) {
        text.remove_prefix(1);
        if (text.starts_with('-')) return ScoreProblem::kNotWholeNumber;
    }
    const char* end = text.data() + text.size();
    Long value = 0;
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    // Digits that overflow but are followed by something else are no number at all.
    if (error == std::errc::invalid_argument || stop != end) return ScoreProblem::kNotWholeNumber;
    if (error == std::errc::result_out_of_range) return ScoreProblem::kOutOfRange;
    score = value;
    return ScoreProblem::kNone;
}

// The field as it is shown in an error message: cut short if it is long (a
// binary file would otherwise fill the message box), never splitting a UTF-8
// character, and with every control byte written out visibly (\0, \x1b), so
// that a NUL cannot end the message early and no escape sequence from a
// crafted file reaches the terminal.
std::string Shown(std::string_view text) {
    constexpr std::size_t kMaxShown = 40;
    std::size_t cut = text.size();
    if (cut > kMaxShown) {
        cut = kMaxShown;
        while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    }
    std::string shown;
    for (const char c : text.substr(0, cut)) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == 0) {
            shown += "\\0";
        } else if (byte < 0x20 || byte == 0x7F) {
            constexpr char kHex[] = "0123456789abcdef";
            shown += {'\\', 'x', kHex[byte >> 4], kHex[byte & 15]};
        } else {
            shown += c;
        }
    }
    return cut < text.size() ? shown + "..." : shown;
}

std::string RecordCountText(int records) {
    if (records == 0) return "no records";
    if (records == 1) return "only 1 record";
    return "only " + std::to_string(records) + " records";
}

// A name sits between double quotes on one line, and the format has no
// escapes: a double quote is written as an apostrophe and a line end as a
// blank, so that every name reads back as the one record it belongs to.
char NameByteOnDisk(char c) {
    if (c == '"') return '\'';
    if (IsLineEnd(c)) return ' ';
    return c;
}

GameError MissingQuote(const std::string& fileName, int record, const char* field) {
    return GameError(kErrHighScoreFile, fileName + ": record " + std::to_string(record) + ": the " +
                                            field + "'s closing quote is missing");
}

std::string SaveFailure(const std::string& path, int error) {
    return "Could not save the high scores to " + path + ": " + std::strerror(error);
}

std::filesystem::path FolderOf(const std::string& path) {
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    return folder.empty() ? "." : folder;
}

}  // namespace

HighScoreTable ParseHighScores(std::string_view content, const std::string& fileName) {
    HighScoreTable table;
    FieldReader reader(content);
    for (int record = 1; record <= kHighScoreRecords; ++record) {
        if (!reader.StartRecord()) {
            throw GameError(kErrHighScoreFile,
                            fileName + ": the file holds " + RecordCountText(record - 1) +
                                ", but " + std::to_string(kHighScoreRecords) + " are needed");
        }
        const Field scoreField = reader.ReadField();
        HighScoreRecord& entry = table[static_cast<std::size_t>(record - 1)];
        if (scoreField.unclosed) throw MissingQuote(fileName, record, "score");
        switch (ParseScore(scoreField.text, entry.score)) {
            case ScoreProblem::kNone:
                break;
            case ScoreProblem::kNotWholeNumber:
                throw GameError(kErrHighScoreFile, fileName + ": record " + std::to_string(record) +
                                                       ": the score \"" + Shown(scoreField.text) +
                                                       "\" is not a whole number");
            case ScoreProblem::kOutOfRange:
                throw GameError(kErrHighScoreFile,
                                fileName + ": record " + std::to_string(record) + ": the score \"" +
                                    Shown(scoreField.text) + "\" is out of range (" +
                                    std::to_string(std::numeric_limits<Long>::min()) + " to " +
                                    std::to_string(std::numeric_limits<Long>::max()) + ")");
        }
        // A line that ends after the score holds a record with an empty name.
        if (scoreField.lineEnded) continue;
        const Field nameField = reader.ReadField();
        if (nameField.unclosed) throw MissingQuote(fileName, record, "name");
        entry.name = std::string(nameField.text);
        // Further fields on the line are not part of the record.
        if (!nameField.lineEnded) reader.SkipRestOfLine();
    }
    return table;
}

HighScoreTable ReadHighScoreFile(const std::string& path) {
    auto failure = [&](const std::string& what, const std::string& why) {
        return GameError(kErrHighScoreFile,
                         "Could not " + what + " the high-score file " + path + ": " + why);
    };
    // Opened without blocking, so that a FIFO in the table's place cannot hang
    // the start; what is not a regular file is refused before anything is read.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) throw failure("open", std::strerror(errno));
    const struct Closer {
        int fd;
        ~Closer() { close(fd); }
    } closer{fd};
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
        throw failure("read", "it is not a regular file");
    // Read no further than the limit, however large the file is or grows.
    std::string content;
    char buffer[4096];
    for (ssize_t got; (got = read(fd, buffer, sizeof buffer)) != 0;) {
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) throw failure("read", std::strerror(errno));
        content.append(buffer, static_cast<std::size_t>(got));
        if (content.size() > static_cast<std::size_t>(kMaxHighScoreFileBytes)) {
            throw failure("read", "it is larger than " + std::to_string(kMaxHighScoreFileBytes) +
                                      " bytes, far more than a table of ten records");
        }
    }
    return ParseHighScores(content, path);
}

std::string FormatHighScores(const HighScoreTable& table) {
    std::string out;
    for (const HighScoreRecord& record : table) {
        out += std::to_string(record.score);
        out += ",\"";
        for (const char c : record.name) out += NameByteOnDisk(c);
        out += "\"\r\n";
    }
    return out;
}

std::string WriteHighScoreFile(const std::string& path, const HighScoreTable& table) {
    const int error = WriteFileAtomically(path, FormatHighScores(table));
    return error == 0 ? std::string() : SaveFailure(path, error);
}

namespace {

// Makes `data` the whole content of the open file and flushes it to disk;
// 0, or the errno of the step that failed.
int PutWhole(int fd, std::string_view data) {
    for (std::size_t done = 0; done < data.size();) {
        const ssize_t n =
            pwrite(fd, data.data() + done, data.size() - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return n < 0 ? errno : ENOSPC;
        done += static_cast<std::size_t>(n);
    }
    return ftruncate(fd, static_cast<off_t>(data.size())) == 0 && fsync(fd) == 0 ? 0 : errno;
}

// Rewrites the file where it stands, for a table that cannot be replaced by a
// rename (its folder is not writable, or other names are hard links to it).
// The old bytes are put back if the new ones cannot all be written.
int WriteInPlace(const std::string& path, std::string_view bytes) {
    const int fd = open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) return errno;
    std::string old;
    char buffer[4096];
    for (ssize_t got; (got = read(fd, buffer, sizeof buffer)) > 0;)
        old.append(buffer, static_cast<std::size_t>(got));
    const int error = PutWhole(fd, bytes);
    if (error != 0) (void)PutWhole(fd, old);
    close(fd);
    return error;
}

bool FolderWritable(const std::string& path) {
    return access(FolderOf(path).c_str(), W_OK) == 0;
}

}  // namespace

int WriteFileAtomically(const std::string& requested, std::string_view bytes) {
    // A symbolic link is written through: the new file replaces its target,
    // in the target's folder, and the link stays a link.
    std::error_code ec;
    const std::filesystem::path resolved = std::filesystem::canonical(requested, ec);
    const std::string path = ec ? requested : resolved.string();

    // The replaced file keeps its permissions; a new one is readable by all,
    // as the table is no secret.
    struct stat existing {};
    const bool exists = stat(path.c_str(), &existing) == 0;
    if (exists && (existing.st_nlink > 1 || !FolderWritable(path)))
        return WriteInPlace(path, bytes);

    std::vector<char> tempName(path.begin(), path.end());
    for (const char c : std::string_view(".XXXXXX")) tempName.push_back(c);
    tempName.push_back('\0');
    int fd = mkstemp(tempName.data());
    if (fd < 0) return errno;
    const std::string tempPath(tempName.data());

    // Gives up: the temporary file goes, the old file was never touched.
    auto abandon = [&](int error) {
        if (fd >= 0) close(fd);
        unlink(tempPath.c_str());
        return error;
    };

    // Not being able to set the mode does not spoil the save.
    (void)fchmod(fd, exists ? existing.st_mode & 07777 : 0644);

    if (const int error = PutWhole(fd, bytes); error != 0) return abandon(error);
    const int closed = close(fd);
    fd = -1;
    if (closed != 0) return abandon(errno);
    if (std::rename(tempPath.c_str(), path.c_str()) != 0) return abandon(errno);

    // Make the rename itself durable. The new file is in place already, so a
    // folder that cannot be synced is no reason to report a failure.
    const int folder = open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY);
    if (folder >= 0) {
        (void)fsync(folder);
        close(folder);
    }
    return 0;
}

}  // namespace vorlax
