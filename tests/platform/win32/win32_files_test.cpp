// best.dat and the program folder on Windows: the replacement is whole or not at all, a
// read-only file is left alone, and folders with any name work.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/win32/win32_backend.h"
#include "tests/support/test_pack.h"

namespace fs = std::filesystem;

namespace {

struct Folder {
    // A name outside the system's code page: only wide paths reach it.
    std::string dir = MakeScratchDir() + "Sp\xC3\xAFler \xD0\xB8\xD0\xB3\xD1\x80\xD0\xB0\\";
    Folder() { fs::create_directories(Path("")); }
    ~Folder() {
        std::error_code ignored;
        fs::remove_all(Path("").parent_path(), ignored);
    }
    fs::path Path(const std::string& name) const {
        std::string utf8 = dir + name;
        return fs::path(std::u8string(utf8.begin(), utf8.end()));
    }
    int Entries() const {
        int count = 0;
        for (auto& entry : fs::directory_iterator(Path(""))) count += entry.exists() ? 1 : 0;
        return count;
    }
};

std::string ReadAll(const std::string& path) {
    std::string bytes;
    PlatformFile file = PlatformOpenRead(path.c_str());
    if (!file) return "<none>";
    char buffer[256];
    long got;
    while ((got = PlatformRead(file, buffer, sizeof buffer)) > 0) bytes.append(buffer, got);
    PlatformClose(file);
    return bytes;
}

}  // namespace

TEST(Win32Files, BestDatIsReplacedWholeAndNothingIsLeftBeside) {
    Folder folder;
    const std::string best = folder.dir + "best.dat";
    EXPECT_EQ(PlatformReplaceFile(best.c_str(), "new", 3), 0) << "a missing file is not made";
    EXPECT_FALSE(fs::exists(folder.Path("best.dat")));

    PlatformFile created = nullptr;
    { std::ofstream(folder.Path("best.dat")) << "old scores"; }
    EXPECT_EQ(ReadAll(best), "old scores");
    ASSERT_EQ(PlatformReplaceFile(best.c_str(), "1500\0\0\0", 7), 1);
    EXPECT_EQ(ReadAll(best), std::string("1500\0\0\0", 7));
    EXPECT_EQ(folder.Entries(), 1) << "the temporary file is gone";

    // A reader that has the file open keeps reading what it opened.
    created = PlatformOpenRead(best.c_str());
    ASSERT_NE(created, nullptr);
    EXPECT_EQ(PlatformReplaceFile(best.c_str(), "900", 3), 1);
    char first[4] = {};
    EXPECT_EQ(PlatformRead(created, first, 4), 4);
    EXPECT_EQ(std::string(first, 4), "1500");
    PlatformClose(created);
    EXPECT_EQ(ReadAll(best), "900");
}

TEST(Win32Files, AReadOnlyFileIsNeitherWrittenNorReplaced) {
    Folder folder;
    const std::string best = folder.dir + "best.dat";
    { std::ofstream(folder.Path("best.dat")) << "kept"; }
    fs::permissions(folder.Path("best.dat"), fs::perms::owner_write, fs::perm_options::remove);
    EXPECT_EQ(PlatformOpenWriteExisting(best.c_str()), nullptr);
    EXPECT_EQ(PlatformReplaceFile(best.c_str(), "lost", 4), 0);
    EXPECT_EQ(ReadAll(best), "kept");
    EXPECT_EQ(folder.Entries(), 1);
    fs::permissions(folder.Path("best.dat"), fs::perms::owner_write, fs::perm_options::add);

    // Written in place: the same bytes over the start, the rest kept.
    PlatformFile file = PlatformOpenWriteExisting(best.c_str());
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(PlatformWrite(file, "Wa", 2), 2);
    PlatformClose(file);
    EXPECT_EQ(ReadAll(best), "Wapt");
    EXPECT_EQ(PlatformOpenWriteExisting((folder.dir + "config.dat").c_str()), nullptr);
    EXPECT_EQ(PlatformOpenRead(folder.dir.c_str()), nullptr) << "a folder is not a file";
}

TEST(Win32Files, TheProgramFolderIsTheExecutablesWithItsBackslash) {
    std::string dir = PlatformProgramDir();
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ(dir.back(), '\\');
    EXPECT_TRUE(fs::exists(fs::path(std::u8string(dir.begin(), dir.end())) / "tapdash_tests.exe"));
}
