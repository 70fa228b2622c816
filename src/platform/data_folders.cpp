#include "platform/data_folders.h"

#include <filesystem>

// Set by the build from the installation folders (GNUInstallDirs).
#ifndef VORLAX_DATA_FROM_BIN
#define VORLAX_DATA_FROM_BIN "../share/vorlax"
#endif
#ifndef VORLAX_INSTALL_DATA_DIR
#define VORLAX_INSTALL_DATA_DIR "/usr/local/share/vorlax"
#endif

namespace vorlax {

GameFolders FindGameFolders(const std::string& exeFolder, const std::vector<std::string>& installed,
                            const std::function<bool(const std::string& folder)>& holdsGame) {
    if (holdsGame(exeFolder)) return {exeFolder, false};
    for (const std::string& folder : installed)
        if (folder != exeFolder && holdsGame(folder)) return {folder, true};
    return {exeFolder, false};
}

std::vector<std::string> InstalledDataFolders(const std::string& exeFolder) {
    namespace fs = std::filesystem;
    return {(fs::path(exeFolder) / VORLAX_DATA_FROM_BIN).lexically_normal().string(),
            fs::path(VORLAX_INSTALL_DATA_DIR).lexically_normal().string()};
}

}  // namespace vorlax
