// Host file access: names spelt as the game spells them, and the rules that keep best.dat safe.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <iterator>
#include <string>

#include "platform/platform.h"
#include "tests/support/test_pack.h"

namespace {

class Files : public testing::Test {
  protected:
    void SetUp() override { dir_ = MakeScratchDir(); }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }
    std::string Read(const std::string& name) {
        PlatformFile file = PlatformOpenRead((dir_ + name).c_str());
        if (!file) return "<none>";
        char buffer[256];
        long got = PlatformRead(file, buffer, sizeof buffer);
        PlatformClose(file);
        return got < 0 ? "<error>" : std::string(buffer, static_cast<size_t>(got));
    }
    mode_t Mode(const std::string& name) {
        struct stat st;
        return stat((dir_ + name).c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
    }
    std::string dir_;
};

TEST_F(Files, AGameNameFindsTheFileWhateverTheLetterCaseOfItsFolders) {
    WriteFileBytes(dir_ + "level1/key.vgz", "key");
    WriteFileBytes(dir_ + "TestSpk/Front.vgz", "front");

    EXPECT_EQ(Read("LEVEL1\\KEY.VGZ"), "key");
    EXPECT_EQ(Read("testspk\\front.vgz"), "front");
    EXPECT_EQ(PlatformResolvePath((dir_ + "Level1\\Key.vgz").c_str()), dir_ + "level1/key.vgz");

    // A missing file is still a path: mapped, with the folders that exist matched.
    EXPECT_EQ(PlatformResolvePath((dir_ + "LEVEL1\\gone.vgz").c_str()), dir_ + "level1/gone.vgz");
    EXPECT_EQ(PlatformResolvePath((dir_ + "menu\\x.vgz").c_str()), dir_ + "menu/x.vgz");
    EXPECT_EQ(Read("level1\\gone.vgz"), "<none>");
    EXPECT_EQ(Read("Level1"), "<none>");  // a folder is not a file to read
}

TEST_F(Files, AnExactSpellingWinsOverAnotherFileThatDiffersOnlyInCase) {
    WriteFileBytes(dir_ + "best.dat", "lower");
    WriteFileBytes(dir_ + "BEST.DAT", "upper");
    EXPECT_EQ(Read("best.dat"), "lower");
    EXPECT_EQ(Read("BEST.DAT"), "upper");
    EXPECT_EQ(Read("Best.dat"), "upper");  // of two near matches the same one every time
}

TEST_F(Files, ReadsOfSevenBytesWalkThroughAFileToItsEnd) {
    WriteFileBytes(dir_ + "best.dat", "12345678901234567");
    PlatformFile file = PlatformOpenRead((dir_ + "best.dat").c_str());
    ASSERT_NE(file, nullptr);
    char record[7];
    EXPECT_EQ(PlatformRead(file, record, 7), 7);
    EXPECT_EQ(PlatformRead(file, record, 7), 7);
    EXPECT_EQ(PlatformRead(file, record, 7), 3);
    EXPECT_EQ(PlatformRead(file, record, 7), 0);
    PlatformClose(file);
}

TEST_F(Files, WritingAnExistingFileNeitherCreatesNorTruncatesIt) {
    EXPECT_EQ(PlatformOpenWriteExisting((dir_ + "best.dat").c_str()), nullptr);
    EXPECT_FALSE(std::filesystem::exists(dir_ + "best.dat"));

    WriteFileBytes(dir_ + "best.dat", "abcdef");
    PlatformFile file = PlatformOpenWriteExisting((dir_ + "Best.Dat").c_str());
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(PlatformWrite(file, "XY", 2), 2);
    PlatformClose(file);
    EXPECT_EQ(ReadFileBytes(dir_ + "best.dat"), "XYcdef");
}

TEST_F(Files, ReplacingAFileSwapsItsContentAndKeepsItsPermissions) {
    WriteFileBytes(dir_ + "best.dat", "old scores, longer than the new ones");
    ASSERT_EQ(chmod((dir_ + "best.dat").c_str(), 0640), 0);
    EXPECT_EQ(PlatformReplaceFile((dir_ + "BEST.DAT").c_str(), "new", 3), 1);
    EXPECT_EQ(ReadFileBytes(dir_ + "best.dat"), "new");
    EXPECT_EQ(Mode("best.dat"), 0640u);
    // No temporary file is left beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_),
                            std::filesystem::directory_iterator()),
              1);
}

TEST_F(Files, AMissingFileIsNeverCreatedByAReplacement) {
    EXPECT_EQ(PlatformReplaceFile((dir_ + "best.dat").c_str(), "new", 3), 0);
    EXPECT_FALSE(std::filesystem::exists(dir_ + "best.dat"));
}

// Tests run as root, who may write any file: a player's read-only best.dat must stay as it is
// all the same.
TEST_F(Files, AReadOnlyFileIsLeftAloneEvenForRoot) {
    WriteFileBytes(dir_ + "best.dat", "kept");
    ASSERT_EQ(chmod((dir_ + "best.dat").c_str(), 0444), 0);

    EXPECT_EQ(PlatformOpenWriteExisting((dir_ + "best.dat").c_str()), nullptr);
    EXPECT_EQ(PlatformReplaceFile((dir_ + "best.dat").c_str(), "lost", 4), 0);
    EXPECT_EQ(ReadFileBytes(dir_ + "best.dat"), "kept");
    EXPECT_EQ(Mode("best.dat"), 0444u);
    EXPECT_EQ(Read("best.dat"), "kept");  // still readable
}

TEST_F(Files, ReplacingThroughALinkReplacesTheFileItPointsAt) {
    WriteFileBytes(dir_ + "data/best.dat", "old");
    ASSERT_EQ(symlink((dir_ + "data/best.dat").c_str(), (dir_ + "best.dat").c_str()), 0);
    EXPECT_EQ(PlatformReplaceFile((dir_ + "best.dat").c_str(), "new", 3), 1);
    EXPECT_TRUE(std::filesystem::is_symlink(dir_ + "best.dat"));
    EXPECT_EQ(ReadFileBytes(dir_ + "data/best.dat"), "new");
}

// What tapdash-player writes config.dat with: a new file with the player's usual mode, or an
// existing one replaced whole; a failure says why.
TEST_F(Files, WritingAWholeFileCreatesItOrReplacesItAndAFailureSaysWhy) {
    const mode_t mask = umask(022);
    EXPECT_EQ(PlatformWriteFile((dir_ + "config.dat").c_str(), "Ada\n", 4), 1);
    EXPECT_EQ(Read("config.dat"), "Ada\n");
    EXPECT_EQ(Mode("config.dat"), 0644u);
    ASSERT_EQ(chmod((dir_ + "config.dat").c_str(), 0600), 0);
    EXPECT_EQ(PlatformWriteFile((dir_ + "config.dat").c_str(), "Grace\n", 6), 1);
    EXPECT_EQ(Read("config.dat"), "Grace\n");
    EXPECT_EQ(Mode("config.dat"), 0600u);
    umask(mask);

    EXPECT_EQ(PlatformWriteFile((dir_ + "no such folder/config.dat").c_str(), "x", 1), 0);
    EXPECT_NE(std::string(PlatformLastError()).find("config.dat"), std::string::npos);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_),
                            std::filesystem::directory_iterator()),
              1);  // no temporary file left behind
}

TEST_F(Files, TheProgramFolderHoldsTheRunningProgram) {
    std::string folder = PlatformProgramDir();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '/');
    EXPECT_TRUE(std::filesystem::exists(folder + "tapdash_tests"));
}

}  // namespace
