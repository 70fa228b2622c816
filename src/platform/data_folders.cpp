#include "platform/data_folders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

// Set by the build from the installation folders (GNUInstallDirs).
#ifndef VORLAX_DATA_FROM_BIN
#define VORLAX_DATA_FROM_BIN "../share/vorlax"
#endif
#ifndef VORLAX_INSTALL_DATA_DIR
#define VORLAX_INSTALL_DATA_DIR "/usr/local/share/vorlax"
#endif

namespace vorlax {
namespace {

std::string Normal(const std::string& path) {
    std::string s = std::filesystem::path(path).lexically_normal().string();
    while (s.size() > 1 && s.back() == '/') s.pop_back();
    return s;
}

}  // namespace

GameFolders FindGameFolders(const std::string& exeFolder, const std::vector<std::string>& installed,
                            const std::function<bool(const std::string& folder)>& holdsGame) {
    if (holdsGame(exeFolder)) return {exeFolder, false};
    for (const std::string& folder : installed)
        if (folder != exeFolder && holdsGame(folder)) return {folder, true};
    return {exeFolder, false};
}

std::vector<std::string> InstalledDataFolders(const std::string& exeFolder) {
    return {Normal(exeFolder + "/" + VORLAX_DATA_FROM_BIN), Normal(VORLAX_INSTALL_DATA_DIR)};
}

std::string PlayerDataFolder(const char* xdgDataHome, const char* home) {
    if (xdgDataHome != nullptr && xdgDataHome[0] == '/')
        return Normal(std::string(xdgDataHome) + "/vorlax");
    if (home != nullptr && home[0] != '\0')
        return Normal(std::string(home) + "/.local/share/vorlax");
    return {};
}

const char* HomeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] != '\0') return home;
    const passwd* account = getpwuid(getuid());
    return account != nullptr && account->pw_dir != nullptr && account->pw_dir[0] != '\0'
               ? account->pw_dir
               : nullptr;
}

}  // namespace vorlax
