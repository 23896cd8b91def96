// The window's life: start-up in its order, what each start-up failure leaves behind, painting,
// the timer, the About box and shutdown.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/game_app.h"
#include "audio/banks.h"
#include "game/state.h"
#include "input/controller.h"
#include "tests/support/game_fixture.h"
#include "tests/support/test_pack.h"

namespace {

constexpr int kCtrl = 17;
constexpr int kEnter = 13;
constexpr int kEscape = 27;

// Position of the first recorded call with this op (and label, when given); -1 when absent.
int FirstCall(const std::string& op, const std::string& label = "") {
    const std::vector<VirtualCall>& calls = VirtualCalls();
    for (size_t i = 0; i < calls.size(); ++i) {
        if (calls[i].op == op && (label.empty() || calls[i].label == label)) return int(i);
    }
    return -1;
}

int LastCall(const std::string& op, const std::string& label = "") {
    const std::vector<VirtualCall>& calls = VirtualCalls();
    for (size_t i = calls.size(); i-- > 0;) {
        if (calls[i].op == op && (label.empty() || calls[i].label == label)) return int(i);
    }
    return -1;
}

std::vector<std::string> LoadedFiles() {
    std::vector<std::string> files;
    for (const VirtualCall& call : VirtualCallsOf("Label")) files.push_back(call.label);
    return files;
}

std::vector<std::string> MessageBoxes() {
    std::vector<std::string> texts;
    for (const VirtualCall& call : VirtualCallsOf("MessageBox")) texts.push_back(call.label);
    return texts;
}

// Start-up is run by each test, after it has changed the pack or armed a failure.
class Startup : public GameFixture {
  protected:
    void SetUp() override { PreparePack(); }
};

using Window = GameFixture;

}  // namespace

TEST_F(Startup, ACleanStartOpensTheDevicesInOrderAndWaitsForTheFirstPaint) {
    VirtualAttachController(true);
    StartWindow();

    const std::vector<VirtualCall>& calls = VirtualCalls();
    ASSERT_EQ(calls.front().op, "RunWindow");
    EXPECT_EQ(calls.front().label, "Tapdash");
    EXPECT_EQ(calls.front().a, 215);
    EXPECT_EQ(calls.front().b, 228);
    EXPECT_EQ(g_programDir, programDir);

    int audio = FirstCall("AudioOpen");
    int timer = FirstCall("SetTimer");
    int controller = FirstCall("ControllerOpen");
    int firstLoad = FirstCall("Label");
    ASSERT_GE(audio, 0);
    EXPECT_LT(audio, timer);
    EXPECT_LT(timer, controller);
    EXPECT_LT(controller, firstLoad);
    EXPECT_EQ(calls[timer].a, kGameTimerId);
    EXPECT_EQ(calls[timer].b, 50);

    // The menu bank, then the score bank, each in its catalogue order; nothing plays yet.
    std::vector<std::string> expected(kMenuSoundFiles, kMenuSoundFiles + kMenuSoundCount);
    expected.insert(expected.end(), kScoreSoundFiles, kScoreSoundFiles + kScoreSoundCount);
    EXPECT_EQ(LoadedFiles(), expected);
    EXPECT_TRUE(PlayedFiles().empty());
    EXPECT_TRUE(MessageBoxes().empty());
    EXPECT_EQ(g_mode, MODE_INTRO);
    EXPECT_EQ(g_tickEnabled, 1);
    EXPECT_EQ(g_controllerLive, 1);

    VirtualRunFor(0);
    EXPECT_EQ(PlayedFiles(), std::vector<std::string>{kIntroSoundFile});
}

TEST_F(Startup, WithoutAProgramFolderTheWindowClosesSilently) {
    g_findProgramDir = [] { return std::string(); };
    StartWindow();

    EXPECT_FALSE(VirtualRunFor(1000));
    EXPECT_EQ(g_startupOk, 0);
    EXPECT_EQ(FirstCall("AudioOpen"), -1);
    EXPECT_TRUE(MessageBoxes().empty());
    EXPECT_TRUE(PlayedFiles().empty());
}

TEST_F(Startup, WithoutASoundDeviceBothMessagesShowAndNoTimerIsSet) {
    VirtualFail("AudioOpen");
    StartWindow();

    EXPECT_EQ(MessageBoxes(), (std::vector<std::string>{"Error!|DSound not created",
                                                        "Error!|Error in second initialisation"}));
    EXPECT_EQ(FirstCall("SetTimer"), -1);
    EXPECT_EQ(g_tickEnabled, 0);
    EXPECT_TRUE(VirtualRunFor(5000));
}

TEST_F(Startup, WithoutTheTimerTheWindowStaysOpenButNothingMovesOn) {
    VirtualFail("SetTimer");
    StartWindow();

    EXPECT_EQ(MessageBoxes(), std::vector<std::string>{"Error!|Error in second initialisation"});
    EXPECT_EQ(FirstCall("Label"), -1);
    EXPECT_TRUE(VirtualRunFor(5000));
    EXPECT_EQ(g_mode, MODE_INTRO);
}

TEST_F(Startup, AMissingMenuSoundLeavesNothingLoadedAndTheScoreBankUntried) {
    RemovePackFile(programDir, "menu\\quit.vgz");
    StartWindow();

    EXPECT_EQ(MessageBoxes(), std::vector<std::string>{"Error!|Error in second initialisation"});
    EXPECT_EQ(VirtualLiveBuffers(), 0);
    EXPECT_TRUE(VirtualCallsOf("Label", "score\\").empty());
    EXPECT_EQ(g_tickEnabled, 0);

    // No tick ever runs: the intro's end goes unnoticed.
    EXPECT_TRUE(VirtualRunFor(5000));
    EXPECT_EQ(g_mode, MODE_INTRO);
}

TEST_F(Startup, AMissingScoreSoundReleasesTheScoreBankAndKeepsTheMenuBank) {
    RemovePackFile(programDir, "score\\0.vgz");
    StartWindow();

    EXPECT_EQ(MessageBoxes(), std::vector<std::string>{"Error!|Error in second initialisation"});
    EXPECT_EQ(VirtualLiveBuffers(), kMenuSoundCount);
    EXPECT_EQ(g_tickEnabled, 0);
}

TEST_F(Startup, WithoutAControllerTheGamePlaysAndNothingIsPolled) {
    StartWindow();
    EXPECT_EQ(g_controllerLive, 0);

    VirtualRunFor(3000);
    EXPECT_EQ(g_mode, MODE_MENU);
    EXPECT_TRUE(VirtualCallsOf("ControllerPoll").empty());
    EXPECT_TRUE(MessageBoxes().empty());
}

TEST_F(Startup, AControllerThatFailsLaterIsReleasedAndNoLongerPolled) {
    VirtualAttachController(true);
    StartWindow();
    VirtualRunFor(500);
    EXPECT_EQ(VirtualCallsOf("ControllerPoll").size(), 10u);

    VirtualFail("ControllerPoll");
    VirtualRunFor(50);
    EXPECT_EQ(g_controllerLive, 0);
    EXPECT_EQ(VirtualCallsOf("ControllerClose").size(), 1u);

    VirtualRunFor(3000);
    EXPECT_EQ(VirtualCallsOf("ControllerPoll").size(), 11u);
    EXPECT_EQ(g_mode, MODE_MENU);  // the ticks go on
}

TEST_F(Startup, TheControllerIsTakenWhenTheWindowBecomesActive) {
    VirtualAttachController(true);
    StartWindow();
    VirtualRunFor(0);
    EXPECT_EQ(VirtualCallsOf("ControllerAcquire").size(), 1u);
}

TEST_F(Window, TheIntroStartsOnceHoweverOftenTheWindowIsRepainted) {
    for (int i = 0; i < 5; ++i) {
        VirtualInvalidate();
        VirtualRunFor(400);
    }
    EXPECT_EQ(VirtualCallsOf("PaintImage").size(), 5u);
    EXPECT_EQ(VirtualCallsOf("Label", kIntroSoundFile).size(), 1u);
    EXPECT_EQ(VirtualCallsOf("Play", kIntroSoundFile).size(), 1u);
    EXPECT_EQ(g_mode, MODE_MENU);
}

TEST_F(Window, WhileTicksAreOffTheIntroWaitsAndTheControllerIsStillPolled) {
    VirtualAttachController(true);
    VirtualRunFor(0);
    g_tickEnabled = 0;
    VirtualRunFor(3000);
    EXPECT_EQ(g_mode, MODE_INTRO);

    g_tickEnabled = 1;
    VirtualRunFor(50);
    EXPECT_EQ(g_mode, MODE_MENU);
}

TEST_F(Window, EnterAndEscapeDuringTheIntroNeitherCloseTheWindowNorCutTheIntro) {
    VirtualRunFor(0);
    VirtualPress(kEnter);
    VirtualPress(kEscape);
    EXPECT_TRUE(VirtualRunFor(100));
    EXPECT_EQ(g_mode, MODE_INTRO);
    EXPECT_TRUE(VirtualCallsOf("Stop", kIntroSoundFile).empty());

    VirtualPress(kCtrl);
    VirtualRunFor(0);
    EXPECT_EQ(g_mode, MODE_MENU);
}

TEST_F(Window, TheAboutBoxNamesTheGameAndItsVersion) {
    VirtualSysCommand(IDM_ABOUTBOX);
    VirtualRunFor(0);
    std::vector<VirtualCall> boxes = VirtualCallsOf("AboutBox");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].label.rfind("About Tapdash|Tapdash  Version 1.0|", 0), 0u);
    EXPECT_EQ(boxes[0].a, 3);

    VirtualSysCommand(IDM_ABOUTBOX + 0x20);  // another system command
    VirtualRunFor(0);
    EXPECT_EQ(VirtualCallsOf("AboutBox").size(), 1u);
}

TEST_F(Window, EscapeInTheMenuEndsWithTheGoodbyeThenReleasesEverythingInOrder) {
    SkipToMenu();
    VirtualPress(kEscape);
    EXPECT_FALSE(VirtualRunFor(5000));

    int goodbyeEnds = LastCall("Release", kExitSoundFile);
    ASSERT_GE(goodbyeEnds, 0);
    int menu = FirstCall("Release", kMenuSoundFiles[0]);
    int score = FirstCall("Release", kScoreSoundFiles[0]);
    int timer = FirstCall("KillTimer");
    int device = FirstCall("AudioClose");
    EXPECT_LT(goodbyeEnds, menu);
    EXPECT_LT(menu, score);
    EXPECT_LT(LastCall("Release", kMenuSoundFiles[kMenuSoundCount - 1]), score);
    EXPECT_LT(LastCall("Release", kScoreSoundFiles[kScoreSoundCount - 1]), timer);
    EXPECT_LT(timer, device);
    EXPECT_EQ(VirtualLiveBuffers(), 0);
}

TEST_F(Startup, TheCloseButtonSkipsTheGoodbyeButShutsDownInTheSameOrder) {
    VirtualAttachController(true);
    StartWindow();
    VirtualRunFor(1500);
    VirtualCloseButton();
    EXPECT_FALSE(VirtualRunFor(100));

    EXPECT_TRUE(VirtualCallsOf("Label", kExitSoundFile).empty());
    int menu = FirstCall("Release", kMenuSoundFiles[0]);
    int score = FirstCall("Release", kScoreSoundFiles[0]);
    int timer = FirstCall("KillTimer");
    int controller = FirstCall("ControllerClose");
    int device = FirstCall("AudioClose");
    ASSERT_GE(menu, 0);
    EXPECT_LT(menu, score);
    EXPECT_LT(score, timer);
    EXPECT_LT(timer, controller);
    EXPECT_LT(controller, device);
}
