// The intro at the start of every run and the goodbye at the end.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "audio/banks.h"
#include "game/state.h"
#include "platform/key_codes.h"
#include "tests/support/game_fixture.h"
#include "tests/support/test_pack.h"

namespace {

class Intro : public GameFixture {
  protected:
    void SetUp() override { PreparePack(); }

    int SoundLengthMs(const std::string& name) override {
        return name == kIntroSoundFile ? 2000 : 1000;
    }
};

}  // namespace

TEST_F(Intro, OnlyCtrlCutsItOtherwiseTheMenuFollowsWithinOneTickOfItsEnd) {
    StartWindow();
    VirtualKeyDownAt(500, kKeyEnter);
    VirtualKeyDownAt(600, kKeyEscape);
    EXPECT_TRUE(VirtualRunFor(1000));
    EXPECT_EQ(g_mode, MODE_INTRO);
    VirtualRunFor(2000);
    std::vector<std::string> played = PlayedFiles();
    ASSERT_GE(played.size(), 3u);
    EXPECT_EQ(played[0], kIntroSoundFile);
    EXPECT_EQ(played[1], "menu\\bgrn.vgz");
    EXPECT_EQ(played[2], "menu\\arrows.vgz");

    uint64_t instructions = VirtualCallsOf("Play", "menu\\arrows.vgz")[0].timeMs;
    EXPECT_GE(instructions, 2000u);
    EXPECT_LT(instructions, 2050u);
    EXPECT_EQ(VirtualCallsOf("Release", kIntroSoundFile).size(), 1u);
    EXPECT_FALSE(VirtualBuffer(kIntroSoundFile).exists);
}

TEST_F(Intro, CtrlGoesToTheMenuAtOnce) {
    StartWindow();
    VirtualKeyDownAt(500, kKeyCtrl);
    VirtualRunFor(500);
    EXPECT_EQ(g_mode, MODE_MENU);
    EXPECT_EQ(VirtualCallsOf("Stop", kIntroSoundFile)[0].timeMs, 500u);
    EXPECT_EQ(VirtualCallsOf("Play", "menu\\arrows.vgz")[0].timeMs, 500u);
    EXPECT_FALSE(VirtualBuffer(kIntroSoundFile).exists);
}

TEST_F(Intro, WithoutItsSoundTheFirstTickGoesStraightToTheMenu) {
    RemovePackFile(programDir, kIntroSoundFile);
    StartWindow();
    VirtualRunFor(50);
    EXPECT_EQ(g_mode, MODE_MENU);
    EXPECT_EQ(PlayedFiles(), (std::vector<std::string>{"menu\\bgrn.vgz", "menu\\arrows.vgz"}));
}

TEST_F(Intro, WithoutTheGoodbyeEscapeClosesTheWindowAtOnce) {
    RemovePackFile(programDir, kExitSoundFile);
    StartWindow();
    SkipToMenu();
    uint64_t pressedAt = VirtualNowMs();
    VirtualPress(kKeyEscape);
    EXPECT_FALSE(VirtualRunFor(0));
    EXPECT_TRUE(PlayedFiles().empty());
    EXPECT_EQ(VirtualCallsOf("KillTimer")[0].timeMs, pressedAt);
}
