// Which handler hears a key-down, a key-up or a tick in each mode.
#include "game/dispatch.h"

#include <gtest/gtest.h>

#include "audio/banks.h"
#include "game/state.h"
#include "platform/key_codes.h"
#include "tests/support/game_fixture.h"

namespace {

class Routing : public GameFixture {
  protected:
    // From the instructions down through Start game, Practise and Test speakers to Learn game
    // sounds.
    void EnterLearn() {
        for (int i = 0; i < 4; ++i) VirtualPress(kKeyDown);
        Key(kKeyEnter);
        ASSERT_EQ(g_mode, MODE_LEARN);
        VirtualClearCalls();
    }
    // A key down and the handling of it.
    static void Key(int key) {
        VirtualPress(key);
        VirtualRunFor(0);
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

TEST_F(Routing, InLevelPlayKeyDownsAndTicksReachTheGameAndKeyUpsChangeNothing) {
    SkipToMenu();
    Key(kKeyEnter);
    ASSERT_EQ(g_mode, MODE_LEVEL);

    VirtualClearCalls();
    VirtualKeyDown(kKeyB);
    VirtualKeyUp(kKeyB);
    VirtualRunFor(0);
    EXPECT_EQ(PlayedFiles(), std::vector<std::string>{"level1\\key.vgz"});

    // The first character lasts a second; the tick repeats it once it has ended.
    VirtualClearCalls();
    VirtualRunFor(1100);
    EXPECT_EQ(VirtualCallsOf("Play").size(), 1u);
}

TEST_F(Routing, ModesWithoutATickStaySilentWhileTheTimerRuns) {
    SkipToMenu();
    EnterLearn();
    ASSERT_EQ(g_tickEnabled, 1);
    VirtualRunFor(3000);
    EXPECT_TRUE(NothingSounded());

    // The speaker test blocks the window while it runs, so its mode never sees a key or a tick.
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
    for (int i = 0; i < 3; ++i) VirtualPress(kKeyDown);  // Learn game sounds to Send score
    Key(kKeyEnter);
    ASSERT_EQ(g_mode, MODE_SEND_SCORE);
    VirtualPress(kKeyN);  // declines, back to the menu
    EXPECT_TRUE(VirtualRunFor(100));
    EXPECT_EQ(g_mode, MODE_MENU);
    EXPECT_TRUE(VirtualCallsOf("Label", kExitSoundFile).empty());

    VirtualPress(kKeyEscape);
    EXPECT_FALSE(VirtualRunFor(3000));
}

TEST_F(Routing, GameOverAndTheFinalScoreHearCtrlAndTheirTicks) {
    SkipToMenu();
    VirtualPress(kKeyEnter);
    VirtualPress(kKeyEscape);  // ends the game at once
    VirtualRunFor(0);
    ASSERT_EQ(g_mode, MODE_GAME_OVER);

    Key(kKeyCtrl);
    ASSERT_EQ(g_mode, MODE_FINAL_SCORE);

    // The intro of the final score lasts a second; the tick then speaks the score itself.
    VirtualClearCalls();
    VirtualRunFor(1100);
    EXPECT_EQ(PlayedFiles(), std::vector<std::string>{"score\\0.vgz"});

    Key(kKeyCtrl);
    EXPECT_EQ(g_mode, MODE_MENU);
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
    VirtualPress(kKeyDown);
    VirtualPress(kKeyDown);  // Practise
    VirtualPress(kKeyDown);  // Test speakers
    VirtualRunFor(0);

    // Four one-second sounds, each followed by a second of silence, all inside the Enter.
    uint64_t start = VirtualNowMs();
    Key(kKeyEnter);
    VirtualRunFor(49);
    ASSERT_EQ(VirtualNowMs(), start + 8049);
    int ticks = 0;
    for (const VirtualCall& poll : VirtualCallsOf("ControllerPoll")) ticks += poll.timeMs >= start;
    EXPECT_EQ(ticks, 1);
}

TEST_F(Routing, TheTopTenListHearsItsKeysAndTicks) {
    SkipToMenu();
    for (int i = 0; i < 6; ++i) VirtualPress(kKeyDown);  // down to View top 10
    Key(kKeyEnter);
    ASSERT_EQ(g_mode, MODE_TOP_TEN);

    // After its intro the tick speaks the first entry: an empty list holds zeros.
    VirtualClearCalls();
    VirtualRunFor(1100);
    EXPECT_EQ(PlayedFiles(), std::vector<std::string>{"score\\0.vgz"});

    VirtualPress(kKeyEscape);
    EXPECT_TRUE(VirtualRunFor(100));
    EXPECT_EQ(g_mode, MODE_MENU);
}
