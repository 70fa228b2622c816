// The high-score table is never lost or spoiled by the way it is saved or
// read: a name typed when the window is closed by its close box, files that
// are links, shared or not regular at all, and messages about broken tables.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "core/errors.h"
#include "scores/score_fixture.h"

namespace vorlax {
namespace {

namespace fs = std::filesystem;

class TableSafetyTest : public testing::ScoreTest {
  protected:
    std::string File() const { return folder.File("Hiscore.txt"); }
    std::string ReadError(const std::string& path) {
        try {
            ReadHighScoreFile(path);
        } catch (const GameError& e) {
            return e.what();
        }
        return "";
    }
};

TEST_F(TableSafetyTest, TheCloseBoxKeepsTheNameAsTypedAndEnterStaysFinal) {
    EndGameWith(750);
    Type("Pa");
    platform.QueueClose(Scores().form);
    platform.DoEvents();
    EXPECT_EQ(Saved()[3], (HighScoreRecord{750, "Pa"}));

    // A name confirmed with Enter is the one saved, whatever the box shows.
    Press(VK_F3);
    Name(4).SetEnabled(true);
    Name(4).SetText("Pat");
    Name(4).SetFocus();
    Press(VK_RETURN);
    Name(4).SetText("changed");
    platform.QueueClose(Scores().form);
    platform.DoEvents();
    EXPECT_EQ(Saved()[3].name, "Pat");
}

TEST_F(TableSafetyTest, SavingKeepsLinksModesAndWorksInAFolderThatIsNotWritable) {
    const fs::path real = folder.Path() / "real";
    fs::create_directory(real);
    fs::rename(File(), real / "Hiscore.txt");
    fs::create_symlink(real / "Hiscore.txt", File());
    fs::create_hard_link(real / "Hiscore.txt", real / "twin.txt");
    chmod((real / "Hiscore.txt").c_str(), 0600);
    HighScoreTable table = Table();
    table[0].name = "";  // shorter than before: rewritten in place, nothing of the old left
    ASSERT_EQ(WriteHighScoreFile(File(), table), "");
    EXPECT_TRUE(fs::is_symlink(File()));
    EXPECT_EQ(folder.Read("real/twin.txt"), FormatHighScores(table)) << "the hard link sees it";
    EXPECT_EQ(fs::hard_link_count(real / "Hiscore.txt"), 2u);
    fs::remove(real / "twin.txt");
    table[0].name = "renamed";
    ASSERT_EQ(WriteHighScoreFile(File(), table), "");
    EXPECT_EQ(fs::status(real / "Hiscore.txt").permissions(), fs::perms(0600));
    EXPECT_TRUE(fs::is_symlink(File()));
    EXPECT_EQ(ReadHighScoreFile((real / "Hiscore.txt").string()), table);

    // A shared table: the file may be written, its folder not (as root, the
    // folder's mode would not stop the rename, so this part needs a user).
    chmod(real.c_str(), 0555);
    table[1].name = "in place";
    EXPECT_EQ(WriteHighScoreFile(File(), table), "");
    EXPECT_EQ(ReadHighScoreFile(File()), table);
    EXPECT_TRUE(fs::is_regular_file(real / "Hiscore.txt"));
    chmod(real.c_str(), 0755);
    if (geteuid() != 0) {
        chmod((real / "Hiscore.txt").c_str(), 0400);
        chmod(real.c_str(), 0555);
        EXPECT_NE(WriteHighScoreFile(File(), Table()), "") << "neither way works: it says so";
        chmod(real.c_str(), 0755);
        EXPECT_EQ(ReadHighScoreFile(File()), table) << "and the old table stays";
    }
}

TEST_F(TableSafetyTest, ATableThatIsNotARegularFileOrIsHugeIsRefusedByName) {
    folder.Remove("Hiscore.txt");
    ASSERT_EQ(mkfifo(File().c_str(), 0644), 0);
    EXPECT_EQ(ReadError(File()),
              "Could not read the high-score file " + File() + ": it is not a regular file");
    folder.Remove("Hiscore.txt");
    fs::create_symlink("/dev/zero", File());
    EXPECT_NE(ReadError(File()).find("not a regular file"), std::string::npos);
    folder.Remove("Hiscore.txt");
    folder.Write("Hiscore.txt", FormatHighScores(Table()));
    fs::resize_file(File(), kMaxHighScoreFileBytes + 1);
    EXPECT_NE(ReadError(File()).find(File() + ": it is larger than 1048576 bytes"),
              std::string::npos);
    fs::resize_file(File(), kMaxHighScoreFileBytes);
    EXPECT_EQ(ReadError(File()), "") << "a file of the limit itself is read";
}

TEST_F(TableSafetyTest, ControlBytesInAMessageAreWrittenVisiblySoItEndsWithItsReason) {
    EXPECT_EQ(
        ReadError((folder.Write("t", std::string(12, '\0')), folder.File("t"))),
        folder.File("t") +
            ": record 1: the score \"\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\" is not a whole number");
    folder.Write("t", "1\x1b[2J,\"x\"\r\n");
    EXPECT_NE(ReadError(folder.File("t")).find("\"1\\x1b[2J\" is not"), std::string::npos);
}

}  // namespace
}  // namespace vorlax
