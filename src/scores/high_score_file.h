// The high-score file: ten records of a score and a name, rank 1 first.
//
// The game reads the file once at start-up and writes it back in full every
// time the high-score window closes. A record on disk is one line:
//
//     12345,"ACE"<CR><LF>
//
// The score is a plain decimal whole number, the name sits between double
// quotes without any escaping. Nothing comes before the first record or after
// the tenth.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "core/game_files.h"
#include "core/types.h"

namespace vorlax {

struct HighScoreRecord {
    Long score = 0;
    std::string name;
    bool operator==(const HighScoreRecord&) const = default;
};

inline constexpr int kHighScoreRecords = 10;

// Rank 1 is index 0. The table is kept in file order and never sorted.
using HighScoreTable = std::array<HighScoreRecord, kHighScoreRecords>;

// Reads the first ten records of a high-score file's content; anything after
// the tenth is ignored. The reader is lenient about files the game did not
// write itself: CR LF, LF or CR line ends, blanks around fields, unquoted
// names, a missing name (empty), blank lines between records, a leading UTF-8
// byte-order mark, and anything after the name up to the end of its line.
// Throws GameError (kErrHighScoreFile), naming `fileName` and the record, when
// a score is not a whole number in the Long range, a field opens a double
// quote that its line does not close, or the content holds fewer than ten
// records.
HighScoreTable ParseHighScores(std::string_view content, const std::string& fileName);

// Ten records of a number and a name take a few hundred bytes; a file far
// larger than that is no table (a link to a device, a damaged disk).
inline constexpr long kMaxHighScoreFileBytes = 1 << 20;

// Reads and parses the file at `path`. A missing or unreadable file, one that
// is not a regular file (a FIFO, a device; links are followed) or one larger
// than kMaxHighScoreFileBytes throws GameError (kErrHighScoreFile) whose
// description names the file.
HighScoreTable ReadHighScoreFile(const std::string& path);

// The exact bytes the game writes for `table`. A name cannot hold a double
// quote or a line end in this format, so each double quote is written as an
// apostrophe and each CR or LF as a blank; every other byte of a name is
// written as it is.
std::string FormatHighScores(const HighScoreTable& table);

// Replaces the file at `path` with FormatHighScores(table). The bytes go to a
// temporary file in the same folder first, which is then renamed over the
// target, so the old file is either replaced whole or left exactly as it was.
// Returns an empty string on success, otherwise a reason fit to show the
// player, e.g. "Could not save the high scores to /x/Hiscore.txt: No space
// left on device". No temporary file is left behind either way.
std::string WriteHighScoreFile(const std::string& path, const HighScoreTable& table);

// Replaces (or creates) the file at `path` with `bytes` the same way: a
// temporary file in the same folder, flushed to disk and renamed over it,
// with the old file's permissions. A symbolic link is written through to its
// target. A file whose folder is not writable, or that has other hard links,
// is rewritten in place instead (and its old bytes put back if that fails).
// Returns 0, or the errno of the step that failed; nothing is left behind then.
int WriteFileAtomically(const std::string& path, std::string_view bytes);

}  // namespace vorlax
