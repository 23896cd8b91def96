// The music level keys as a player uses them: Page Down and Page Up in the menu and in level
// play, heard at once in the music, never in speech or cues, and remembered in settings.dat.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "audio/bank_slots.h"
#include "audio/music.h"
#include "game/menu.h"
#include "game/state.h"
#include "tests/game/level_play.h"
#include "tests/support/test_pack.h"

namespace {

const char kMenuMusic[] = "menu\\bgrn.vgz";
const char kLevelMusic[] = "level1\\bgrn.vgz";

class MusicLevel : public LevelFixture {
  protected:
    std::string SettingsFile() { return programDir + "settings.dat"; }
    // The volumes the music was set to since the record was last cleared.
    std::vector<int> MusicVolumesSet(const char* music) {
        std::vector<int> volumes;
        for (const VirtualCall& call : VirtualCallsOf("SetVolume", music))
            volumes.push_back(call.a);
        return volumes;
    }
};

// A settings.dat written before the game starts.
class MusicLevelRemembered : public MusicLevel {
  protected:
    void SetUp() override { PreparePack(); }
    void StartWith(const char* settings) {
        WriteFileBytes(SettingsFile(), settings);
        StartWindow();
        VirtualRunFor(0);
        VirtualKeyDown(kKeyCtrl);
        VirtualRunFor(0);
    }
};

}  // namespace

TEST_F(MusicLevel, PageDownThreeTimesInTheMenuThenStartGameTheLevelsMusicPlays9DbDown) {
    SkipToMenu();
    VirtualRunFor(2000);  // Start game has been announced
    VirtualClearCalls();
    for (int i = 0; i < 3; ++i) Press(kKeyPageDown);
    EXPECT_EQ(MusicVolumesSet(kMenuMusic), (std::vector<int>{-300, -600, -900}));
    EXPECT_EQ(PlayedFiles(), std::vector<std::string>{}) << "the menu's selection moved";
    EXPECT_EQ(g_menuIndex, kMenuSlotStartGame);
    EXPECT_EQ(ReadFileBytes(SettingsFile()), "music=-9\n");

    Press(kKeyEnter);
    ASSERT_EQ(g_mode, MODE_LEVEL);
    std::vector<VirtualCall> music = Plays(kLevelMusic);
    ASSERT_EQ(music.size(), 1u);
    EXPECT_EQ(music[0].b, -900);
    EXPECT_EQ(music[0].x, kPlayLooping);
    EXPECT_EQ(Plays(CharacterFile()).at(0).b, kStartVolume) << "the character follows the music";

    // Back in the menu after the game, its music comes back at the same level.
    Press(kKeyEscape);
    ASSERT_TRUE(RunUntil([] { return g_mode == MODE_MENU; }));
    EXPECT_EQ(Plays(kMenuMusic).back().b, -900);
}

TEST_F(MusicLevel, StepsOf3DbDownTo30ThenOffAndBackWithNothingPastEitherEnd) {
    SkipToMenu();
    VirtualRunFor(2000);
    struct Step {
        int key;
        int expectedVolume;  // 1: nothing is set
    };
    std::vector<Step> steps = {{kKeyPageUp, 1}};  // at the top already
    for (int volume = -300; volume >= -3000; volume -= 300) steps.push_back({kKeyPageDown, volume});
    steps.push_back({kKeyPageDown, -10000});  // off
    steps.push_back({kKeyPageDown, 1});       // off already
    steps.push_back({kKeyPageUp, -3000});
    steps.push_back({kKeyPageUp, -2700});
    for (const Step& step : steps) {
        VirtualClearCalls();
        const std::string before = ReadFileBytes(SettingsFile());
        Press(step.key);
        const std::vector<int> set = MusicVolumesSet(kMenuMusic);
        if (step.expectedVolume == 1) {
            EXPECT_TRUE(set.empty()) << "at an end a press changed the music";
            EXPECT_EQ(ReadFileBytes(SettingsFile()), before)
                << "at an end a press wrote settings.dat";
        } else {
            EXPECT_EQ(set, std::vector<int>{step.expectedVolume});
        }
        EXPECT_EQ(PlayedFiles(), std::vector<std::string>{}) << "a music key played something";
    }
    EXPECT_EQ(ReadFileBytes(SettingsFile()), "music=-27\n");
}

TEST_F(MusicLevel, BPageDownCtrlStillAnswersBOnTheLeft) {
    SkipToMenu();
    Press(kKeyEnter);
    ASSERT_EQ(g_mode, MODE_LEVEL);
    VirtualClearCalls();
    Type(g_characters[g_charIndex].keyCode);
    Press(kKeyPageDown);
    Press(SideKey());
    EXPECT_EQ(g_score, 100) << "Page Down counted as the typed key";
    EXPECT_EQ(Plays("level1\\key.vgz").size(), 1u) << "Page Down clicked like a typed key";
    EXPECT_EQ(MusicVolumesSet(kLevelMusic), std::vector<int>{-300});
    EXPECT_EQ(Plays("level1\\success.vgz").at(0).b, kStartVolume)
        << "the music level reached a cue";
}

TEST_F(MusicLevelRemembered, SettingsDatGivesTheMusicLevelAndAnythingElseMeansTheTop) {
    struct Case {
        const char* settings;
        int menuMusicVolume;
    };
    const Case cases[] = {
        {"music=-9\n", -900},    {"music=-9\r\n", -900},
        {"music=-30", -3000},    {"music=off\n", -10000},
        {"music=0\n", 0},        {"", 0},
        {"music=-10\n", 0},  // not a step
        {"music=-33\n", 0},  // below the bottom
        {"music=3\n", 0},    // above the top
        {"music=\n", 0},         {"music=-9\nmusic=-12\n", 0},
        {"\xff\xfemusic=-9", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.settings);
        StartWith(c.settings);
        EXPECT_EQ(g_mode, MODE_MENU) << "the game did not start";
        EXPECT_EQ(VirtualBuffer(kMenuMusic).volume, c.menuMusicVolume);
        EXPECT_EQ(VirtualBuffer(kMenuMusic).status, kStatusPlaying | kStatusLooping);
        TearDown();
        PreparePack();
    }
}
