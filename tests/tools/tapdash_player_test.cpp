// tapdash-player: a player types their details once, and the game finds them when it sends a
// score.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>

#include "app/game_app.h"
#include "online/submit.h"
#include "platform/virtual/virtual.h"
#include "storage/player_details.h"
#include "storage/player_files.h"
#include "tests/support/test_pack.h"
#include "tools/player_details_writer.h"

namespace {

struct Session {
    int result;
    std::string shown;   // everything the program printed
    std::string config;  // config.dat afterwards
};

Session Answer(const std::string& typed, const std::string& dir) {
    std::istringstream in(typed);
    std::ostringstream out;
    int result = AskAndWritePlayerDetails(in, out, dir);
    return {result, out.str(), ReadFileBytes(dir + "config.dat")};
}

TEST(TapdashPlayerTest, FourAnswersBecomeTheDetailsTheGameSendsWithAScore) {
    const std::string dir = MakeScratchDir();
    Session s = Answer("Ada\nLovelace\n12 Analytical Way\nUnited Kingdom\n", dir);
    EXPECT_EQ(s.result, 0);
    EXPECT_EQ(s.config, "Ada\nLovelace\n12 Analytical Way\nUnited Kingdom\n");
    // One plain prompt per answer, in order.
    size_t first = s.shown.find("First name: "), last = s.shown.find("Last name: ");
    size_t address = s.shown.find("Address: "), country = s.shown.find("Country: ");
    EXPECT_LT(first, last);
    EXPECT_LT(last, address);
    EXPECT_LT(address, country);
    EXPECT_NE(country, std::string::npos);

    VirtualReset();
    g_programDir = dir;
    g_submitUrl.clear();
    ASSERT_EQ(ReadPlayerDetails(), 1);
    const std::string read = g_submitUrl;
    BuildSubmitUrl("Ada", "Lovelace", "12 Analytical Way", "United Kingdom");
    EXPECT_EQ(read, g_submitUrl);
}

TEST(TapdashPlayerTest, RefusedAnswersAreExplainedAndAskedForAgain) {
    const std::string dir = MakeScratchDir();
    const std::string longest(99, 'x'), tooLong(100, 'x');
    Session s = Answer(
        "Ada`Byron\n"  // a backquote would split the name in two
        "Ada\n" +
            tooLong + "\n" + longest + "\n" +
            "\n"  // nothing typed
            "12 Analytical Way\n"
            "United\tKingdom\n"
            "United Kingdom\r\n",  // a Windows line end is not part of the answer
        dir);
    EXPECT_EQ(s.result, 0);
    EXPECT_EQ(s.config, "Ada\n" + longest + "\n12 Analytical Way\nUnited Kingdom\n");
    EXPECT_NE(s.shown.find("backquote"), std::string::npos);
    EXPECT_NE(s.shown.find("at most 99"), std::string::npos);
    EXPECT_NE(s.shown.find("cannot be empty"), std::string::npos);
    EXPECT_NE(s.shown.find("control characters"), std::string::npos);
    EXPECT_NE(DetailsFieldProblem("two\nlines"), "");
}

TEST(TapdashPlayerTest, GivingUpHalfwayKeepsTheDetailsAlreadySaved) {
    const std::string dir = MakeScratchDir();
    WriteFileBytes(dir + "config.dat", "Ada\nLovelace\nOld Street\nUnited Kingdom\n");
    Session s = Answer("Charles\nBabbage\n", dir);
    EXPECT_EQ(s.result, 1);
    EXPECT_NE(s.shown.find("Nothing was saved"), std::string::npos);
    EXPECT_EQ(s.config, "Ada\nLovelace\nOld Street\nUnited Kingdom\n");
}

TEST(TapdashPlayerTest, NewDetailsReplaceOldOnesWhole) {
    const std::string dir = MakeScratchDir();
    WriteFileBytes(dir + "config.dat", "A much longer first name\nLovelace\nOld Street\nUK\n");
    Session s = Answer("Ada\nB\nC\nD\n", dir);
    EXPECT_EQ(s.result, 0);
    EXPECT_EQ(s.config, "Ada\nB\nC\nD\n");
}

#ifndef _WIN32
// A system install: tapdash-player cannot write beside itself, so it saves the details in the
// player's data folder, and the game started from the same folder sends them.
TEST(TapdashPlayerTest, OnASystemInstallTheGameSendsWhatTapdashPlayerSaved) {
    const std::string program = MakeScratchDir(), dataHome = MakeScratchDir();
    std::filesystem::copy_file(std::string(TAPDASH_PROGRAM_DIR) + "/tapdash-player",
                               program + "tapdash-player");
    ASSERT_EQ(chmod(program.c_str(), 0555), 0);
    const std::string command =
        "printf 'Ada\\nLovelace\\n12 Analytical Way\\nUK\\n' | "
        "ASAN_OPTIONS=detect_leaks=0 XDG_DATA_HOME=" +
        dataHome + " " + program + "tapdash-player >/dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0);
    EXPECT_FALSE(std::filesystem::exists(program + "config.dat"));

    VirtualReset();
    setenv("XDG_DATA_HOME", dataHome.c_str(), 1);
    g_programDir = program;
    EXPECT_EQ(ChoosePlayerDir(), dataHome + "tapdash/");
    g_submitUrl.clear();
    EXPECT_EQ(ReadPlayerDetails(), 1);
    const std::string read = g_submitUrl;
    BuildSubmitUrl("Ada", "Lovelace", "12 Analytical Way", "UK");
    EXPECT_EQ(read, g_submitUrl);

    unsetenv("XDG_DATA_HOME");
    g_playerDir.clear();
    chmod(program.c_str(), 0755);
    std::filesystem::remove_all(program);
    std::filesystem::remove_all(dataHome);
}
#endif

}  // namespace
