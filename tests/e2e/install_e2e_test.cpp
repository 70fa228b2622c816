// The game installed into a temporary prefix with `cmake --install`: every
// file in its place, the icons, desktop entry, AppStream metadata and man
// page valid; the installed program's command line; and the installed game
// run in Xvfb with a temporary home: it finds its files, makes the player's
// high-score table from the delivered one, and never writes the delivered one.
#include <png.h>
#include <sys/stat.h>

#include "e2e/e2e_fixture.h"

namespace vorlax::e2e {
namespace {

constexpr const char* kAppId = "org.vorlax.Vorlax";

class E2EInstall : public GameOnXvfb {};

TEST_F(E2EInstall, EveryFileInItsPlaceAndTheInstalledGameKeepsThePlayersTableInTheirDataFolder) {
    const fs::path prefix = Root() / "prefix", share = prefix / "share",
                   game = prefix / "bin/vorlax";
    CommandResult r =
        Run({VORLAX_CMAKE, "--install", VORLAX_BUILD_DIR, "--prefix", prefix.string()},
            milliseconds{60000});
    ASSERT_TRUE(r.Ok()) << r.out << r.err;
    const fs::path delivered = share / "vorlax/Hiscore.txt";
    const std::string deliveredBytes = ReadFile(delivered);
    EXPECT_EQ(deliveredBytes, ReadFile(fs::path(VORLAX_ASSET_DIR) / "Hiscore.txt"));
    for (const unsigned size : {16, 24, 32, 48, 64, 128, 256}) {
        const std::string dims = std::to_string(size) + "x" + std::to_string(size);
        const fs::path icon =
            share / "icons/hicolor" / dims / "apps" / (std::string(kAppId) + ".png");
        png_image png{};
        png.version = PNG_IMAGE_VERSION;
        EXPECT_TRUE(png_image_begin_read_from_file(&png, icon.c_str()) && png.width == size &&
                    png.height == size && (png.format & PNG_FORMAT_FLAG_ALPHA) != 0)
            << icon;
        png_image_free(&png);
    }
    const fs::path man = share / "man/man6/vorlax.6";
    for (const std::vector<std::string>& check :
         {std::vector<std::string>{"desktop-file-validate",
                                   (share / "applications" / kAppId).string() + ".desktop"},
          {"appstreamcli", "validate", "--no-net",
           (share / "metainfo" / kAppId).string() + ".metainfo.xml"},
          {"groff", "-t", "-man", "-ww", "-z", man.string()}}) {
        r = Run(check);
        EXPECT_TRUE(r.Ok() && r.err.empty() &&
                    (check[0] != "desktop-file-validate" || r.out.empty()))
            << check[0] << ": " << r.out << r.err;
    }
    // The version prints and exits 0; a mistake prints the usage on stderr and exits 2.
    r = Run({game.string(), "--version"});
    EXPECT_TRUE(r.Ok() && r.out.starts_with("vorlax ") && r.err.empty()) << r.out << r.err;
    r = Run({game.string(), "--scale", "0"});
    EXPECT_TRUE(r.status == 2 && r.out.empty() && r.err.starts_with("vorlax: ") &&
                r.err.find("Usage: vorlax") != std::string::npos)
        << r.out << r.err;

    // As a system install is to a player, the delivered table is not writable.
    ASSERT_FALSE(deliveredBytes.empty());
    fs::permissions(delivered, fs::perms::all, fs::perm_options::remove);
    fs::permissions(delivered, fs::perms::owner_read, fs::perm_options::add);
    struct stat before {};
    ASSERT_EQ(stat(delivered.c_str(), &before), 0);

    // The installed game finds its files and starts the player's table as a
    // copy of the delivered one; F3 then Esc saves it there, replaced whole.
    const fs::path home = Root() / "home", data = Root() / "data";
    const fs::path players = data / "vorlax/Hiscore.txt";
    fs::create_directory(home);
    ASSERT_TRUE(StartOnTitle({"HOME=" + home.string(), "XDG_DATA_HOME=" + data.string()}, game))
        << GameStderr();
    EXPECT_EQ(ReadFile(players), deliveredBytes);
    struct stat table {};
    ASSERT_EQ(stat(players.c_str(), &table), 0);
    ASSERT_TRUE(Tap("F3"));
    const unsigned long scores = WaitForWindow("High Score");
    ASSERT_NE(scores, 0u) << "F3 opened no high-score window";
    ASSERT_TRUE(FocusOn(scores) && Tap("Escape"));
    ASSERT_TRUE(WindowGone(scores)) << "Esc did not close the high-score window";
    struct stat saved {};
    EXPECT_TRUE(WaitUntil([&] {
        return stat(players.c_str(), &saved) == 0 && saved.st_ino != table.st_ino;
    })) << "the player's table was not written";
    EXPECT_EQ(ReadFile(players), deliveredBytes);
    ASSERT_TRUE(FocusOn(MainWindow()));
    QuitWithEscape();
    struct stat after {};
    ASSERT_EQ(stat(delivered.c_str(), &after), 0);
    EXPECT_TRUE(after.st_mtim.tv_sec == before.st_mtim.tv_sec &&
                after.st_mtim.tv_nsec == before.st_mtim.tv_nsec &&
                ReadFile(delivered) == deliveredBytes)
        << "the delivered table is never written";
}

}  // namespace
}  // namespace vorlax::e2e
