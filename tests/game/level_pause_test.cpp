// A level that waits while the window has lost the keyboard: a dialog, another window, Alt+Tab.
#include <gtest/gtest.h>

#include <string>

#include "audio/bank_slots.h"
#include "game/menu.h"
#include "game/state.h"
#include "tests/game/level_play.h"

namespace {

const char kLevelMusic[] = "level1\\bgrn.vgz";

class LevelPause : public LevelFixture {
  protected:
    void LoseFocus() {
        VirtualActivate(false);
        VirtualRunFor(0);
    }
    void GetFocusBack() {
        VirtualActivate(true);
        VirtualRunFor(0);
    }
};

}  // namespace

TEST_F(LevelPause, FocusLostForAMinuteDuringACharacterNoRepeatNoLifeLostItGoesOnWhenFocusReturns) {
    StartGame();
    VirtualRunFor(300);  // 300 of the character's 800 ms
    const std::string character = CharacterFile();
    const int pan = g_charPan;
    LoseFocus();
    EXPECT_EQ(VirtualBuffer(character).status, 0u) << "the character plays on while away";
    EXPECT_EQ(VirtualBuffer(kLevelMusic).status, 0u) << "the music plays on while away";

    VirtualClearCalls();
    VirtualRunFor(60000);
    EXPECT_TRUE(VirtualCallsOf("Play").empty()) << "something played while away";
    EXPECT_EQ(g_lives, kStartLives);
    EXPECT_EQ(g_charVolume, kStartVolume);

    GetFocusBack();
    EXPECT_EQ(VirtualBuffer(kLevelMusic).status, kStatusPlaying | kStatusLooping);
    EXPECT_EQ(VirtualBuffer(character).status, kStatusPlaying);
    EXPECT_TRUE(VirtualCallsOf("SetPosition").empty())
        << "a sound started again from its beginning";
    // The character's last 500 ms, then its first repeat.
    VirtualRunFor(450);
    EXPECT_EQ(Plays(character).size(), 1u);
    EXPECT_EQ(g_charPan, pan);
    ASSERT_TRUE(RunUntil([&] { return Plays(character).size() == 2; }, 200));
    EXPECT_EQ(Plays(character).back().b, kStartVolume + 100);
    EXPECT_EQ(g_lives, kStartLives);
}

TEST_F(LevelPause, KeysPressedWhileAwayNeverReachTheGame) {
    StartGame();
    LoseFocus();
    VirtualClearCalls();
    const int typed = g_characters[g_charIndex].keyCode;
    for (int key : {typed, SideKey(), static_cast<int>(kKeyPageDown), static_cast<int>(kKeyEscape)})
        Press(key);
    VirtualRunFor(1000);
    EXPECT_TRUE(VirtualCallsOf("Play").empty());
    EXPECT_TRUE(VirtualCallsOf("SetVolume").empty());
    EXPECT_EQ(g_mode, MODE_LEVEL);
    EXPECT_EQ(g_score, 0);
    EXPECT_NE(g_lastTypedKey, typed);

    GetFocusBack();
    AnswerRightly();
    EXPECT_EQ(g_score, 100) << "the level does not answer once the keyboard is back";
}

TEST_F(LevelPause, InTheMenuLosingFocusChangesNothing) {
    SkipToMenu();
    LoseFocus();
    VirtualRunFor(2000);
    EXPECT_EQ(VirtualBuffer("menu\\bgrn.vgz").status, kStatusPlaying | kStatusLooping);
    EXPECT_EQ(g_menuIndex, kMenuSlotStartGame) << "the instructions did not hand over";
    GetFocusBack();
    Press(kKeyEnter);
    EXPECT_EQ(g_mode, MODE_LEVEL);
}
