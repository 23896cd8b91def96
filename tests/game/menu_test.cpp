// The main menu as the player hears it: the ring of items, the hand-over from the instructions,
// the items that stay in the menu and the two ways out.
#include "game/menu.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "audio/bank_slots.h"
#include "audio/banks.h"
#include "game/state.h"
#include "platform/key_codes.h"
#include "tests/support/game_fixture.h"

namespace {

constexpr int kGoodbyeMs = 1500;

const char kInstructions[] = "menu\\arrows.vgz";
const char kStartGame[] = "menu\\start_game.vgz";
const char kPractise[] = "menu\\practise.vgz";
const char kTestSpeakers[] = "menu\\test_speakers.vgz";
const char kLearn[] = "menu\\learn_game_sounds.vgz";
const char kFinalScore[] = "menu\\final_score.vgz";
const char kTopTen[] = "menu\\view_top_10.vgz";
const char kSendScore[] = "menu\\send_score.vgz";
const char kQuit[] = "menu\\quit.vgz";
const char kMusic[] = "menu\\bgrn.vgz";

class Menu : public GameFixture {
  protected:
    int SoundLengthMs(const std::string& name) override {
        return name == kExitSoundFile ? kGoodbyeMs : 1000;
    }
};

}  // namespace

TEST_F(Menu, UpAndDownWalkTheItemsInARing) {
    SkipToMenu();
    // From the instructions either key leads to Start game.
    EXPECT_EQ(PlayedAfter({kKeyUp}), std::vector<std::string>{kStartGame});
    EXPECT_EQ(PlayedAfter(
                  {kKeyDown, kKeyDown, kKeyDown, kKeyDown, kKeyDown, kKeyDown, kKeyDown, kKeyDown}),
              (std::vector<std::string>{kPractise, kTestSpeakers, kLearn, kFinalScore, kTopTen,
                                        kSendScore, kQuit, kStartGame}));
    EXPECT_EQ(PlayedAfter({kKeyUp, kKeyUp, kKeyUp, kKeyUp, kKeyUp, kKeyUp, kKeyUp, kKeyUp}),
              (std::vector<std::string>{kQuit, kSendScore, kTopTen, kFinalScore, kLearn,
                                        kTestSpeakers, kPractise, kStartGame}));
    EXPECT_EQ(g_menuIndex, kMenuSlotStartGame);
}

TEST_F(Menu, DownDuringTheInstructionsCutsThemAndTheTickThenLeavesTheMenuAlone) {
    SkipToMenu();
    EXPECT_EQ(PlayedAfter({kKeyDown}), std::vector<std::string>{kStartGame});
    EXPECT_EQ(VirtualCallsOf("Stop", kInstructions).size(), 1u);

    VirtualClearCalls();
    VirtualRunFor(3000);
    EXPECT_TRUE(PlayedFiles().empty());
}

TEST_F(Menu, WhenTheInstructionsEndStartGameIsAnnouncedAndTheTickStops) {
    SkipToMenu();
    VirtualRunFor(1100);
    EXPECT_EQ(PlayedFiles(), std::vector<std::string>{kStartGame});
    EXPECT_EQ(g_tickEnabled, 0);
    EXPECT_EQ(VirtualBuffer(kMusic).status, 5u);  // playing and looping
}

TEST_F(Menu, EnterDuringTheInstructionsStartsAGameAtOnce) {
    SkipToMenu();
    PlayedAfter({kKeyEnter});
    EXPECT_EQ(g_mode, MODE_LEVEL);
    EXPECT_EQ(VirtualCallsOf("Stop", kInstructions).size(), 1u);
    EXPECT_EQ(VirtualBuffer(kMusic).status, 0u);
}

TEST_F(Menu, SendScoreWithoutPointsSaysSoToTheEndAndStaysInTheMenu) {
    SkipToMenu();
    PlayedAfter({kKeyUp, kKeyUp, kKeyUp});  // Start game, Quit, Send score
    ASSERT_EQ(g_menuIndex, kMenuSlotSendScore);

    uint64_t pressedAt = VirtualNowMs();
    EXPECT_EQ(PlayedAfter({kKeyEnter, kKeyDown}),
              (std::vector<std::string>{"game\\not_enough.vgz", kQuit}));
    EXPECT_EQ(g_mode, MODE_MENU);
    EXPECT_TRUE(VirtualCallsOf("Label", kSubmitSoundFiles[kSubmitSlotPrompt]).empty());
    // The Down waited for the message to end.
    EXPECT_GE(VirtualCallsOf("Play", kQuit)[0].timeMs, pressedAt + 1000);
}

// Escape, or Enter on Quit: the goodbye plays to its end, alone, and only then does the window go.
TEST_F(Menu, EscapeOrQuitPlaysTheGoodbyeInFullBeforeTheWindowCloses) {
    for (bool quit : {false, true}) {
        SCOPED_TRACE(quit ? "Quit" : "Escape");
        if (quit) {
            TearDown();
            SetUp();
        }
        SkipToMenu();
        if (quit) PlayedAfter({kKeyUp, kKeyUp});  // Start game, Quit
        VirtualClearCalls();
        const uint64_t pressedAt = VirtualNowMs();
        VirtualPress(quit ? kKeyEnter : kKeyEscape);
        VirtualKeyDownAt(pressedAt + 500, kKeyDown);  // during the goodbye: too late to count
        EXPECT_FALSE(VirtualRunFor(5000));
        std::vector<VirtualCall> goodbye = VirtualCallsOf("Play", kExitSoundFile);
        ASSERT_EQ(goodbye.size(), 1u);
        EXPECT_EQ(goodbye[0].timeMs, pressedAt);
        EXPECT_EQ(PlayedFiles(), std::vector<std::string>{kExitSoundFile});
        EXPECT_FALSE(VirtualBuffer(kMusic).status);
        std::vector<VirtualCall> closing = VirtualCallsOf("KillTimer");
        ASSERT_EQ(closing.size(), 1u);
        EXPECT_GE(closing[0].timeMs, pressedAt + kGoodbyeMs);
    }
}
