// Where the game's files are on this machine: beside the executable (a build,
// or a copy unpacked anywhere) or in the data folder of an installed game.
// (An installed game keeps the player's own table in SDL's preference folder
// for it; see SdlPlatform::ScoreFolder.)
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace vorlax {

// The game's folder among the candidates: the executable's folder when it
// holds the game (`holdsGame`), else the first installed data folder that
// does; the executable's folder when none does, so that a missing file is
// reported where a player would put it.
struct GameFolders {
    std::string program;     // the bitmaps and the delivered Hiscore.txt
    bool installed = false;  // found in an installed data folder
};
GameFolders FindGameFolders(const std::string& exeFolder, const std::vector<std::string>& installed,
                            const std::function<bool(const std::string& folder)>& holdsGame);

// The installed data folders for an executable in `exeFolder`: the one at
// the same place relative to it as at installation (so a tree installed with
// any prefix, or moved as a whole, finds its files), then the one the build
// was configured for.
std::vector<std::string> InstalledDataFolders(const std::string& exeFolder);

}  // namespace vorlax
