// Where a player's scores are kept: beside the program where its folder can be written (the
// build folder, ~/.local, the zip), in the player's own data folder where it cannot (a system
// install), and nowhere, without harm to play, where neither can be.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include "storage/best_scores.h"
#include "storage/player_files.h"
#include "tests/game/level_play.h"
#include "tests/support/test_pack.h"

#ifndef _WIN32
namespace {

// Every file below `dir` with its size.
std::map<std::string, uintmax_t> Listing(const std::string& dir) {
    std::map<std::string, uintmax_t> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir))
        files[entry.path().string()] = entry.is_regular_file() ? entry.file_size() : 0;
    return files;
}

class PlayerFolder : public LevelFixture {
  protected:
    void SetUp() override {}
    void TearDown() override {
        if (!programDir.empty()) chmod(programDir.c_str(), 0755);
        LevelFixture::TearDown();
        std::filesystem::remove_all(home_);
        unsetenv("XDG_DATA_HOME");
    }
    std::string home_ = MakeScratchDir();
};

}  // namespace

TEST_F(PlayerFolder, AScoreIsKeptBesideTheProgramOrInThePlayersOwnFolder) {
    // Where the score goes: "program", "data", or "" where the data folder cannot be made (a file
    // stands in its way) and the program folder cannot be written either.
    const struct {
        const char* install;
        std::string kept;
    } rows[] = {{"build folder", "program"},
                {"system install", "data"},
                {"system install, data folder impossible", ""}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.install);
        std::filesystem::remove_all(home_);
        std::filesystem::create_directories(home_);
        const std::string dataHome = home_ + "data", dataDir = dataHome + "/tapdash/";
        if (row.kept.empty()) WriteFileBytes(dataHome, "");
        setenv("XDG_DATA_HOME", dataHome.c_str(), 1);
        PreparePack();
        WriteFileBytes(programDir + "best.dat", "");  // as the build and the packages leave it
        if (row.kept != "program") {
            ASSERT_EQ(chmod(programDir.c_str(), 0555), 0);
        }
        const auto installed = Listing(programDir), home = Listing(home_);

        StartWindow();
        StartGame();
        ScoreUpTo(300);
        Press(kKeyEscape);
        ASSERT_EQ(g_mode, MODE_GAME_OVER) << "the game plays wherever the scores go";

        ChoosePlayerDir();  // as the next start does: the score is still there
        EXPECT_EQ(ReadBestScores(), row.kept.empty() ? 0 : 1);
        EXPECT_EQ(g_bestScores[0], row.kept.empty() ? -1 : 300);
        if (row.kept != "program") {
            EXPECT_EQ(Listing(programDir), installed) << "the program folder is untouched";
        }
        if (row.kept != "data") {
            EXPECT_EQ(Listing(home_), home) << "no data folder is made";
        } else {
            struct stat st;
            ASSERT_EQ(stat(dataDir.c_str(), &st), 0);
            EXPECT_EQ(st.st_mode & 0777, 0700u) << "the player's folder is the player's alone";
        }
        if (row.kept == "program") {
            // The scores stay the player's when the program's folder becomes read-only later.
            ASSERT_EQ(chmod(programDir.c_str(), 0555), 0);
            const auto readOnly = Listing(programDir);
            ChoosePlayerDir();
            EXPECT_EQ(ReadBestScores(), 1);
            EXPECT_EQ(g_bestScores[0], 300) << "the earlier best score is lost";
            EXPECT_EQ(Listing(programDir), readOnly);
        }
        chmod(programDir.c_str(), 0755);
    }
}

#endif
