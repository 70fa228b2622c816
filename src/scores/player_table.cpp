#include "scores/player_table.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/errors.h"
#include "platform/platform.h"
#include "scores/high_score_file.h"

namespace vorlax {
namespace {

std::string Reason(int error) {
    return std::strerror(error);
}

std::string Parent(const std::string& path) {
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    return parent.empty() ? "." : parent.string();
}

std::string InFolder(const std::string& folder, const char* name) {
    return (std::filesystem::path(folder) / name).string();
}

// mkdir -p with mode 0700 for the folders it makes; 0 or the errno.
int MakeFolders(const std::string& folder) {
    struct stat st {};
    if (stat(folder.c_str(), &st) == 0) return S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
    if (errno != ENOENT) return errno;
    const std::string parent = Parent(folder);
    if (parent != folder) {
        if (const int error = MakeFolders(parent); error != 0) return error;
    }
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return errno;
    return 0;
}

}  // namespace

std::string CopyTableIfMissing(const std::string& delivered, const std::string& player) {
    struct stat st {};
    if (lstat(player.c_str(), &st) == 0) return {};  // the player's own: never replaced
    if (errno != ENOENT && errno != ENOTDIR)
        return "Could not look for your high scores at " + player + ": " + Reason(errno);

    // The delivered table first: a failure leaves no empty folder behind.
    std::ifstream in(delivered, std::ios::binary);
    if (!in) return "Could not open the high-score file " + delivered + ": " + Reason(errno);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad()) return "Could not read the high-score file " + delivered;

    const std::string folder = Parent(player);
    if (const int error = MakeFolders(folder); error != 0)
        return "Could not make the folder " + folder + " for your high scores: " + Reason(error);
    if (const int error = WriteFileAtomically(player, bytes.str()); error != 0)
        return "Could not copy the high scores from " + delivered + " to " + player + ": " +
               Reason(error);
    return {};
}

std::string HighScoreFilePath() {
    const std::string folder = CurrentPlatform().ScoreFolder();
    // No folder at all: PreparePlayerTable has stopped the start with the reason.
    return folder.empty() ? std::string() : InFolder(folder, kHighScoreFileName);
}

void PreparePlayerTable() {
    Platform& p = CurrentPlatform();
    const std::string folder = p.ScoreFolder();
    if (folder == p.ProgramFolder()) return;
    if (folder.empty())
        throw GameError(kErrHighScoreFile,
                        "Could not find a folder for your high scores: neither XDG_DATA_HOME nor "
                        "HOME is set");
    const std::string problem = CopyTableIfMissing(InFolder(p.ProgramFolder(), kHighScoreFileName),
                                                   InFolder(folder, kHighScoreFileName));
    if (!problem.empty()) throw GameError(kErrHighScoreFile, problem);
}

}  // namespace vorlax
