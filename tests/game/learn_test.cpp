// Learning the game's cues from the menu's Learn game sounds item.
#include "game/learn.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "audio/bank_slots.h"
#include "audio/banks.h"
#include "game/state.h"
#include "platform/key_codes.h"
#include "tests/support/game_fixture.h"
#include "tests/support/test_pack.h"

namespace {

constexpr int kStartupBuffers = kMenuSoundCount + kScoreSoundCount;

class Learn : public GameFixture {
  protected:
    void SetUp() override {
        GameFixture::SetUp();
        SkipToMenu();
    }

    void EnterLearn() { ChooseMenuItem(kMenuSlotLearnGameSounds); }

    static std::string Name(int item) { return kLearnSoundFiles[item]; }
};

}  // namespace

TEST_F(Learn, EnteringSaysTheFirstItemAndThenWaitsForAKey) {
    EnterLearn();
    EXPECT_EQ(PlayedFiles(), std::vector<std::string>{Name(kLearnSlotKeyClickItem)});
    ASSERT_EQ(g_mode, MODE_LEARN);
    EXPECT_EQ(VirtualLiveBuffers(), kStartupBuffers + kLearnSoundCount);

    VirtualClearCalls();
    VirtualRunFor(3000);
    EXPECT_TRUE(PlayedFiles().empty());
}

TEST_F(Learn, UpAndDownWalkTheFiveItemsInARing) {
    EnterLearn();
    EXPECT_EQ(
        PlayedAfter({kKeyDown, kKeyDown, kKeyDown, kKeyDown, kKeyDown}),
        (std::vector<std::string>{Name(kLearnSlotAnswerCueItem), Name(kLearnSlotSuccessCueItem),
                                  Name(kLearnSlotErrorCueItem), Name(kLearnSlotReturnItem),
                                  Name(kLearnSlotKeyClickItem)}));
    EXPECT_EQ(PlayedAfter({kKeyUp, kKeyUp}),
              (std::vector<std::string>{Name(kLearnSlotReturnItem), Name(kLearnSlotErrorCueItem)}));
}

TEST_F(Learn, EnterPlaysTheNamedCueAndStaysOnTheItem) {
    EnterLearn();
    PlayedAfter({kKeyDown, kKeyDown});
    EXPECT_EQ(PlayedAfter({kKeyEnter, kKeyEnter}),
              (std::vector<std::string>{"Level1\\success.vgz", "Level1\\success.vgz"}));
    EXPECT_EQ(g_learnPos, kLearnSlotSuccessCueItem);
    // Every key that plays first cuts whatever of the mode is still sounding.
    EXPECT_FALSE(VirtualCallsOf("Stop", Name(kLearnSlotSuccessCueItem)).empty());

    EXPECT_EQ(PlayedAfter({kKeyUp, kKeyUp, kKeyEnter}),
              (std::vector<std::string>{Name(kLearnSlotAnswerCueItem), Name(kLearnSlotKeyClickItem),
                                        "Level1\\key.vgz"}));
}

TEST_F(Learn, OtherKeysDoNothing) {
    EnterLearn();
    VirtualClearCalls();
    for (int key : {kKeyLeft, kKeyRight, kKeyA, kKey0 + 7, kKeySpace, kKeyCtrl}) VirtualPress(key);
    VirtualRunFor(0);
    EXPECT_TRUE(VirtualCalls().empty());
    EXPECT_EQ(g_mode, MODE_LEARN);
}

TEST_F(Learn, EnterOnTheLastItemOrEscapeReturnsToTheMenuWithNothingLeftLoaded) {
    EnterLearn();
    EXPECT_EQ(
        PlayedAfter({kKeyUp, kKeyEnter}),
        (std::vector<std::string>{Name(kLearnSlotReturnItem), "menu\\learn_game_sounds.vgz"}));
    EXPECT_EQ(g_mode, MODE_MENU);
    EXPECT_EQ(VirtualLiveBuffers(), kStartupBuffers);

    // The menu still stands on Learn game sounds: Enter loads the sounds afresh and starts at
    // the first item again.
    EXPECT_EQ(PlayedAfter({kKeyEnter}), std::vector<std::string>{Name(kLearnSlotKeyClickItem)});
    EXPECT_EQ(VirtualCallsOf("Label", Name(kLearnSlotKeyClickItem)).size(), 1u);
    PlayedAfter({kKeyDown});
    EXPECT_EQ(PlayedAfter({kKeyEscape}), std::vector<std::string>{"menu\\learn_game_sounds.vgz"});
    EXPECT_EQ(VirtualLiveBuffers(), kStartupBuffers);
    EXPECT_EQ(PlayedAfter({kKeyEnter}), std::vector<std::string>{Name(kLearnSlotKeyClickItem)});
    EXPECT_EQ(g_learnPos, kLearnSlotKeyClickItem);
}

TEST_F(Learn, AMissingCueKeepsTheMenuSilentWithNothingLoaded) {
    RemovePackFile(programDir, "level1\\err.vgz");
    EnterLearn();
    EXPECT_EQ(g_mode, MODE_MENU);
    EXPECT_EQ(VirtualLiveBuffers(), kStartupBuffers);
    EXPECT_TRUE(PlayedFiles().empty());

    // The next key is the menu's again.
    EXPECT_EQ(PlayedAfter({kKeyDown}), std::vector<std::string>{"menu\\final_score.vgz"});
}
