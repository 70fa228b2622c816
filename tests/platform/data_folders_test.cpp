// Where the game looks for its files and where an installed game keeps the
// player's table.
#include "platform/data_folders.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace vorlax {
namespace {

TEST(PlayerDataFolder, XdgDataHomeWhenAbsoluteElseTheHomesLocalShare) {
    EXPECT_EQ(PlayerDataFolder("/home/ann/data", "/home/ann"), "/home/ann/data/vorlax");
    EXPECT_EQ(PlayerDataFolder("/home/ann/data/", "/home/ann"), "/home/ann/data/vorlax");
    // Unset, empty or relative: the XDG rules fall back to ~/.local/share.
    EXPECT_EQ(PlayerDataFolder(nullptr, "/home/ann"), "/home/ann/.local/share/vorlax");
    EXPECT_EQ(PlayerDataFolder("", "/home/ann"), "/home/ann/.local/share/vorlax");
    EXPECT_EQ(PlayerDataFolder("data", "/home/ann/"), "/home/ann/.local/share/vorlax");
    EXPECT_EQ(PlayerDataFolder("/", nullptr), "/vorlax");
    // Nothing to go by at all.
    EXPECT_EQ(PlayerDataFolder(nullptr, nullptr), "");
    EXPECT_EQ(PlayerDataFolder("relative", ""), "");
}

TEST(FindGameFolders, BesideTheExecutableFirstThenTheInstalledDataFolder) {
    std::set<std::string> holding;
    auto holds = [&](const std::string& f) { return holding.count(f) != 0; };
    const std::vector<std::string> installed = {"/opt/g/share/vorlax", "/usr/share/vorlax"};

    holding = {"/opt/g/bin", "/opt/g/share/vorlax"};
    GameFolders found = FindGameFolders("/opt/g/bin", installed, holds);
    EXPECT_EQ(found.program, "/opt/g/bin");
    EXPECT_FALSE(found.installed);

    holding = {"/opt/g/share/vorlax", "/usr/share/vorlax"};
    found = FindGameFolders("/opt/g/bin", installed, holds);
    EXPECT_EQ(found.program, "/opt/g/share/vorlax");
    EXPECT_TRUE(found.installed);

    holding = {"/usr/share/vorlax"};
    found = FindGameFolders("/opt/g/bin", installed, holds);
    EXPECT_EQ(found.program, "/usr/share/vorlax");
    EXPECT_TRUE(found.installed);

    // Nowhere: the executable's folder, where the missing file is reported.
    holding = {};
    found = FindGameFolders("/opt/g/bin", installed, holds);
    EXPECT_EQ(found.program, "/opt/g/bin");
    EXPECT_FALSE(found.installed);
}

TEST(InstalledDataFolders, RelativeToTheExecutableFirst) {
    const std::vector<std::string> folders = InstalledDataFolders("/tmp/prefix/bin");
    ASSERT_EQ(folders.size(), 2u);
    EXPECT_EQ(folders[0], "/tmp/prefix/share/vorlax");
    EXPECT_EQ(folders[1].front(), '/');
    EXPECT_EQ(folders[1].substr(folders[1].size() - 7), "/vorlax");
}

}  // namespace
}  // namespace vorlax
