// settings.dat as the game writes it and reads it back.
#include "storage/settings.h"

#include <gtest/gtest.h>

#include "app/game_app.h"
#include "audio/music.h"
#include "tests/support/test_pack.h"

TEST(SettingsFile, EveryMusicLevelIsWrittenAsOneLineAndReadBackAsItWas) {
    g_programDir = MakeScratchDir();
    for (int level = kMusicTop; level >= kMusicBottom; level -= kMusicStepDb) {
        ASSERT_EQ(WriteMusicSetting(level), 1);
        EXPECT_EQ(ReadMusicSetting(), level);
    }
    ASSERT_EQ(WriteMusicSetting(kMusicOff), 1);
    EXPECT_EQ(ReadFileBytes(g_programDir + "settings.dat"), "music=off\n");
    EXPECT_EQ(ReadMusicSetting(), kMusicOff);
    g_programDir.clear();
}

TEST(SettingsFile, AMissingFileOrAFolderThatCannotBeWrittenMeansTheTop) {
    g_programDir = MakeScratchDir() + "gone/";
    EXPECT_EQ(ReadMusicSetting(), kMusicTop);
    EXPECT_EQ(WriteMusicSetting(-9), 0);
    g_programDir.clear();
}
