// The game installed into a temporary prefix with `cmake --install`: every
// file in its place, the desktop entry and AppStream metadata valid, and the
// installed game run in Xvfb with a temporary home: it finds its files, makes
// the player's high-score table from the delivered one, and never writes the
// delivered one.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "e2e/e2e_fixture.h"

namespace vorlax::e2e {
namespace {

namespace fs = std::filesystem;

constexpr const char* kAppId = "org.vorlax.Vorlax";

// Width and height from a PNG file's header; {0, 0} when it is no PNG.
std::pair<int, int> PngSize(const fs::path& file) {
    const std::string bytes = ReadFile(file);
    if (bytes.size() < 24 || bytes.compare(1, 3, "PNG") != 0 || bytes.compare(12, 4, "IHDR") != 0)
        return {0, 0};
    auto big = [&](std::size_t at) {
        int v = 0;
        for (std::size_t i = 0; i < 4; ++i) v = v * 256 + static_cast<unsigned char>(bytes[at + i]);
        return v;
    };
    return {big(16), big(20)};
}

class E2EInstall : public GameOnXvfb {};

TEST_F(E2EInstall, EveryFileInItsPlaceAndTheInstalledGameKeepsThePlayersTableInTheirDataFolder) {
    const fs::path prefix = Folder().Root() / "prefix";
    CommandResult r =
        RunCommand({VORLAX_CMAKE, "--install", VORLAX_BUILD_DIR, "--prefix", prefix.string()},
                   X().Environment(), milliseconds{60000});
    ASSERT_TRUE(r.Ok()) << r.out << r.err;
    EXPECT_TRUE(fs::exists(prefix / "bin/vorlax"));
    const fs::path delivered = prefix / "share/vorlax/Hiscore.txt";
    const std::string deliveredBytes = ReadFile(delivered);
    EXPECT_EQ(deliveredBytes, ReadFile(fs::path(VORLAX_ASSET_DIR) / "Hiscore.txt"));
    int bitmaps = 0;
    for (const auto& entry : fs::directory_iterator(prefix / "share/vorlax"))
        bitmaps += entry.path().extension() == ".bmp";
    EXPECT_EQ(bitmaps, 30) << "26 sprites and 4 key pictures";
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        const std::string dims = std::to_string(size) + "x" + std::to_string(size);
        const fs::path icon =
            prefix / "share/icons/hicolor" / dims / "apps" / (std::string(kAppId) + ".png");
        EXPECT_EQ(PngSize(icon), std::make_pair(size, size)) << icon;
    }
    const fs::path desktop = prefix / "share/applications" / (std::string(kAppId) + ".desktop");
    const fs::path metainfo = prefix / "share/metainfo" / (std::string(kAppId) + ".metainfo.xml");
    const fs::path man = prefix / "share/man/man6/vorlax.6";
    r = RunCommand({"desktop-file-validate", desktop.string()}, X().Environment());
    EXPECT_TRUE(r.Ok() && r.out.empty()) << "desktop-file-validate (Debian package "
                                            "desktop-file-utils): "
                                         << r.out << r.err;
    r = RunCommand({"appstreamcli", "validate", "--no-net", metainfo.string()}, X().Environment());
    EXPECT_TRUE(r.Ok()) << "appstreamcli (Debian package appstream): " << r.out << r.err;
    // The man page formats without a warning and names every option.
    r = RunCommand({"groff", "-t", "-man", "-ww", "-z", man.string()}, X().Environment());
    EXPECT_TRUE(r.Ok() && r.err.empty()) << "groff (Debian package groff-base): " << r.err;
    const std::string page = ReadFile(man);
    for (const char* option : {"fullscreen", "windowed", "scale", "fill", "help", "version"})
        EXPECT_NE(page.find(std::string("\\-\\-") + option), std::string::npos) << option;
    EXPECT_EQ(page.find('@'), std::string::npos) << "every placeholder filled in";

    // As a system install is to a player, the delivered table is not writable.
    ASSERT_FALSE(deliveredBytes.empty());
    fs::permissions(delivered,
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    struct stat before {};
    ASSERT_EQ(stat(delivered.c_str(), &before), 0);

    // The installed game finds its files and starts the player's table as a
    // copy of the delivered one; F3 then Esc saves it there, replaced whole.
    const fs::path home = Folder().Root() / "home", data = Folder().Root() / "data";
    const fs::path players = data / "vorlax/Hiscore.txt";
    fs::create_directory(home);
    const GameLaunch installed{.executable = prefix / "bin/vorlax",
                               .args = {},
                               .env = {"HOME=" + home.string(), "XDG_DATA_HOME=" + data.string()}};
    ASSERT_TRUE(StartOnTitle(installed)) << GameStderr();
    EXPECT_EQ(ReadFile(players), deliveredBytes);
    struct stat table {};
    ASSERT_EQ(stat(players.c_str(), &table), 0);
    ASSERT_TRUE(X().Tap("F3"));
    const unsigned long scores = WaitForWindow("High Score");
    ASSERT_NE(scores, 0u) << "F3 opened no high-score window";
    ASSERT_TRUE(FocusOn(scores));
    ASSERT_TRUE(X().Tap("Escape"));
    ASSERT_TRUE(WindowGone(scores)) << "Esc did not close the high-score window";
    struct stat saved {};
    EXPECT_TRUE(WaitUntil(
        [&] { return stat(players.c_str(), &saved) == 0 && saved.st_ino != table.st_ino; }, kLimit))
        << "the player's table was not written";
    EXPECT_EQ(ReadFile(players), deliveredBytes);
    ASSERT_TRUE(FocusOn(MainWindow()));
    QuitWithEscape();
    EXPECT_EQ(ReadFile(delivered), deliveredBytes) << "the delivered table stays byte for byte";
    struct stat after {};
    ASSERT_EQ(stat(delivered.c_str(), &after), 0);
    EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);

    // Without XDG_DATA_HOME the table goes to ~/.local/share/vorlax.
    ASSERT_TRUE(StartOnTitle({.executable = installed.executable,
                              .args = {},
                              .env = {"HOME=" + home.string(), "XDG_DATA_HOME="}}));
    EXPECT_EQ(ReadFile(home / ".local/share/vorlax/Hiscore.txt"), deliveredBytes);
    QuitWithEscape();

    // A data folder that cannot be made stops the start with a clear message.
    const fs::path blocker = Folder().Root() / "blocker";
    std::ofstream(blocker) << "a file where a folder should be";
    Launch({.executable = installed.executable,
            .args = {},
            .env = {"HOME=" + home.string(), "XDG_DATA_HOME=" + blocker.string(),
                    "VORLAX_OWN_MESSAGE_BOX=1"}});
    const unsigned long box = WaitForWindow("VORLAX", 0, 0, kStartLimit);
    ASSERT_NE(box, 0u) << "no message box";
    EXPECT_NE(GameStderr().find("Could not make the folder for your high scores: Couldn't create "
                                "directory '" +
                                (blocker / "vorlax").string() + "': 'Not a directory'"),
              std::string::npos)
        << GameStderr();
    ASSERT_TRUE(FocusOn(box) && X().Tap("Return"));
    ExpectExit(1, "the message");
    EXPECT_EQ(ReadFile(blocker), "a file where a folder should be");
    EXPECT_EQ(ReadFile(delivered), deliveredBytes);
}

}  // namespace
}  // namespace vorlax::e2e
