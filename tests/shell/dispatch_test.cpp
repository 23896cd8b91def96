// Which handler hears a key-down, a key-up or a tick in each mode.
#include "game/dispatch.h"

#include <gtest/gtest.h>

#include "audio/bank_slots.h"
#include "audio/banks.h"
#include "game/state.h"
#include "platform/key_codes.h"
#include "tests/support/game_fixture.h"

namespace {

class Routing : public GameFixture {
  protected:
    void EnterLearn() {
        ChooseMenuItem(kMenuSlotLearnGameSounds);
        ASSERT_EQ(g_mode, MODE_LEARN);
        VirtualClearCalls();
    }
};

bool NothingSounded() {
    return VirtualCallsOf("Play").empty() && VirtualCallsOf("Stop").empty();
}

}  // namespace

TEST_F(Routing, KeyUpsAreDroppedOutsideLevelPlay) {
    VirtualRunFor(0);
    VirtualKeyUp(kKeyCtrl);
    VirtualRunFor(0);
    EXPECT_EQ(g_mode, MODE_INTRO);

    SkipToMenu();
    VirtualKeyUp(kKeyDown);
    VirtualRunFor(0);
    EXPECT_TRUE(NothingSounded());

    EnterLearn();
    VirtualKeyUp(kKeyDown);
    VirtualKeyUp(kKeyEscape);
    VirtualRunFor(0);
    EXPECT_TRUE(NothingSounded());
    EXPECT_EQ(g_mode, MODE_LEARN);
}

TEST_F(Routing, InLevelPlayKeyDownsReachTheGameAndKeyUpsChangeNothing) {
    SkipToMenu();
    PlayedAfter({kKeyEnter});
    ASSERT_EQ(g_mode, MODE_LEVEL);

    VirtualClearCalls();
    VirtualKeyDown(kKeyB);
    VirtualKeyUp(kKeyB);
    VirtualRunFor(0);
    EXPECT_EQ(PlayedFiles(), std::vector<std::string>{"level1\\key.vgz"});
}

// The speaker test blocks the window while it runs, so its mode never sees a key or a tick.
TEST_F(Routing, TheSpeakerTestModeIgnoresKeysAndTicks) {
    SkipToMenu();
    VirtualClearCalls();
    g_mode = MODE_SPEAKER_TEST;
    EXPECT_EQ(KeyDownDispatch(kKeyEnter), 1);
    EXPECT_EQ(KeyDownDispatch(kKeyEscape), 1);
    TickDispatch();
    EXPECT_TRUE(VirtualCalls().empty());
}

TEST_F(Routing, OnlyLeavingTheMenuClosesTheWindow) {
    SkipToMenu();
    EnterLearn();
    VirtualPress(kKeyEscape);  // leaves learning, back to the menu
    EXPECT_TRUE(VirtualRunFor(100));
    EXPECT_EQ(g_mode, MODE_MENU);

    g_score = 300;
    ChooseMenuItem(kMenuSlotSendScore);
    ASSERT_EQ(g_mode, MODE_SEND_SCORE);
    VirtualPress(kKeyN);  // declines, back to the menu
    EXPECT_TRUE(VirtualRunFor(100));
    EXPECT_EQ(g_mode, MODE_MENU);
    EXPECT_TRUE(VirtualCallsOf("Label", kExitSoundFile).empty());

    VirtualPress(kKeyEscape);
    EXPECT_FALSE(VirtualRunFor(3000));
}

// A controller is polled on every tick, so the ticks can be counted.
class RoutingWithController : public Routing {
  protected:
    void SetUp() override {
        PreparePack();
        VirtualAttachController(true);
        StartWindow();
    }
};

TEST_F(RoutingWithController, AfterABlockingHandlerOnlyOneOfTheMissedTicksArrives) {
    SkipToMenu();
    MenuDownTo(kMenuSlotTestSpeakers);

    // Four one-second sounds, each followed by a second of silence, all inside the Enter.
    uint64_t start = VirtualNowMs();
    PlayedAfter({kKeyEnter});
    VirtualRunFor(49);
    ASSERT_EQ(VirtualNowMs(), start + 8049);
    int ticks = 0;
    for (const VirtualCall& poll : VirtualCallsOf("ControllerPoll")) ticks += poll.timeMs >= start;
    EXPECT_EQ(ticks, 1);
}
