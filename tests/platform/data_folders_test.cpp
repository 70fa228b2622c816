// Where the game looks for its files and where an installed game keeps the
// player's table.
#include "platform/data_folders.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace vorlax {
namespace {

TEST(PlayerDataFolder, XdgDataHomeWhenAbsoluteElseTheHomesLocalShare) {
    EXPECT_EQ(PlayerDataFolder("/home/ann/data/", "/home/ann"), "/home/ann/data/vorlax");
    // Unset, empty or relative: the XDG rules fall back to ~/.local/share.
    EXPECT_EQ(PlayerDataFolder(nullptr, "/home/ann"), "/home/ann/.local/share/vorlax");
    EXPECT_EQ(PlayerDataFolder("data", "/home/ann/"), "/home/ann/.local/share/vorlax");
    EXPECT_EQ(PlayerDataFolder("relative", ""), "");  // nothing to go by at all
}

TEST(FindGameFolders, BesideTheExecutableFirstThenTheInstalledDataFolders) {
    const std::vector<std::string> installed = {"/opt/g/share/vorlax", "/usr/share/vorlax"};
    const auto found = [&](std::set<std::string> holding) {
        const GameFolders f = FindGameFolders(
            "/opt/g/bin", installed, [&](const std::string& d) { return holding.count(d); });
        return f.program + (f.installed ? " installed" : "");
    };
    EXPECT_EQ(found({"/opt/g/bin", "/opt/g/share/vorlax"}), "/opt/g/bin");
    EXPECT_EQ(found({"/opt/g/share/vorlax", "/usr/share/vorlax"}), "/opt/g/share/vorlax installed");
    EXPECT_EQ(found({"/usr/share/vorlax"}), "/usr/share/vorlax installed");
    // Nowhere: the executable's folder, where the missing file is reported.
    EXPECT_EQ(found({}), "/opt/g/bin");
    EXPECT_EQ(InstalledDataFolders("/tmp/prefix/bin").at(0), "/tmp/prefix/share/vorlax");
}

}  // namespace
}  // namespace vorlax
