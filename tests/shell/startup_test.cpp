// The window's life: start-up in its order, what each start-up failure leaves behind, painting,
// the controller, the About box and shutdown.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/game_app.h"
#include "audio/bank_slots.h"
#include "audio/banks.h"
#include "game/state.h"
#include "input/controller.h"
#include "platform/key_codes.h"
#include "tests/support/game_fixture.h"
#include "tests/support/test_pack.h"

namespace {

// Position of the first (or last) recorded call with this op and label; -1 when absent.
int CallAt(const std::string& op, const std::string& label, bool last = false) {
    const std::vector<VirtualCall>& calls = VirtualCalls();
    int found = -1;
    for (size_t i = 0; i < calls.size(); ++i) {
        if (calls[i].op != op || (!label.empty() && calls[i].label != label)) continue;
        found = int(i);
        if (!last) break;
    }
    return found;
}

std::vector<std::string> LabelsOf(const std::string& op) {
    std::vector<std::string> labels;
    for (const VirtualCall& call : VirtualCallsOf(op)) labels.push_back(call.label);
    return labels;
}

// Menu sounds, score sounds, timer, controller, device: each released wholly before the next.
void ExpectShutdownInOrder() {
    int lastMenu = CallAt("Release", kMenuSoundFiles[kMenuSoundCount - 1], true);
    int firstScore = CallAt("Release", kScoreSoundFiles[kScoreSlotZero]);
    int lastScore = CallAt("Release", kScoreSoundFiles[kScoreSoundCount - 1], true);
    int timer = CallAt("KillTimer", "");
    int controller = CallAt("ControllerClose", "");
    int device = CallAt("AudioClose", "");
    EXPECT_LT(CallAt("Release", kMenuSoundFiles[kMenuSlotInstructions]), lastMenu);
    EXPECT_LT(lastMenu, firstScore);
    EXPECT_LT(lastScore, timer);
    EXPECT_LT(timer, controller);
    EXPECT_LT(controller, device);
}

// Start-up is run by each test, after it has changed the pack or armed a failure.
class Startup : public GameFixture {
  protected:
    void SetUp() override {
        PreparePack();
        VirtualAttachController(true);
    }
};

}  // namespace

TEST_F(Startup, ACleanStartOpensTheDevicesInOrderAndTheFirstPaintStartsTheIntro) {
    StartWindow();
    const VirtualCall& window = VirtualCalls().front();
    EXPECT_EQ(window.op + "|" + window.label, "RunWindow|Tapdash");
    EXPECT_EQ(window.a * 1000 + window.b, 215228);
    EXPECT_EQ(g_programDir, programDir);

    int timer = CallAt("SetTimer", "");
    EXPECT_LT(CallAt("AudioOpen", ""), timer);
    EXPECT_LT(timer, CallAt("ControllerOpen", ""));
    EXPECT_LT(CallAt("ControllerOpen", ""),
              CallAt("Label", kMenuSoundFiles[kMenuSlotInstructions]));
    EXPECT_EQ(VirtualCalls()[timer].a, kGameTimerId);
    EXPECT_EQ(VirtualCalls()[timer].b, 50);

    // The menu bank, then the score bank, each in its catalogue order, then the intro; nothing
    // plays yet.
    std::vector<std::string> banks(kMenuSoundFiles, kMenuSoundFiles + kMenuSoundCount);
    banks.insert(banks.end(), kScoreSoundFiles, kScoreSoundFiles + kScoreSoundCount);
    banks.push_back(kIntroSoundFile);
    EXPECT_EQ(LabelsOf("Label"), banks);
    EXPECT_TRUE(PlayedFiles().empty());
    EXPECT_TRUE(LabelsOf("MessageBox").empty());
    EXPECT_EQ(g_mode, MODE_INTRO);
    EXPECT_EQ(g_tickEnabled, 1);

    VirtualRunFor(0);
    EXPECT_EQ(PlayedFiles(), std::vector<std::string>{kIntroSoundFile});
    EXPECT_EQ(VirtualCallsOf("ControllerAcquire").size(), 1u);  // the window became active
}

TEST_F(Startup, EachFailureShowsItsMessagesAndLeavesOnlyWhatItSays) {
    struct Row {
        const char* failure;
        std::function<void(const std::string& dir)> arm;
        std::vector<std::string> messages;
        int buffersLeft;
        bool timerSet;
    };
    const std::string secondInit = "Error!|Error in second initialisation";
    const Row rows[] = {
        {"no sound device",
         [](auto&) { VirtualFail("AudioOpen"); },
         {"Error!|DSound not created", secondInit},
         0,
         false},
        {"no timer", [](auto&) { VirtualFail("SetTimer"); }, {secondInit}, 0, false},
        {"a menu sound missing",
         [](auto& dir) { RemovePackFile(dir, "menu\\quit.vgz"); },
         {secondInit},
         0,
         true},
        {"a score sound missing",
         [](auto& dir) { RemovePackFile(dir, "score\\0.vgz"); },
         {secondInit},
         kMenuSoundCount,
         true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.failure);
        PreparePack();
        VirtualAttachController(true);
        row.arm(programDir);
        StartWindow();
        EXPECT_EQ(LabelsOf("MessageBox"), row.messages);
        EXPECT_EQ(VirtualLiveBuffers(), row.buffersLeft);
        EXPECT_EQ(g_tickEnabled, 0);

        // The window stays open, but no tick ever runs: the intro's end goes unnoticed.
        EXPECT_TRUE(VirtualRunFor(5000));
        EXPECT_EQ(g_mode, MODE_INTRO);
        EXPECT_EQ(!VirtualCallsOf("ControllerPoll").empty(), row.timerSet);
    }
}

TEST_F(Startup, WithoutAProgramFolderTheWindowClosesSilently) {
    g_findProgramDir = [] { return std::string(); };
    StartWindow();
    EXPECT_FALSE(VirtualRunFor(1000));
    EXPECT_EQ(CallAt("AudioOpen", ""), -1);
    EXPECT_TRUE(LabelsOf("MessageBox").empty());
    EXPECT_TRUE(PlayedFiles().empty());
}

TEST_F(Startup, WithoutAControllerTheGamePlaysAndNothingIsPolled) {
    VirtualAttachController(false);
    StartWindow();
    VirtualRunFor(3000);
    EXPECT_EQ(g_mode, MODE_MENU);
    EXPECT_TRUE(VirtualCallsOf("ControllerPoll").empty());
}

TEST_F(Startup, AControllerThatFailsLaterIsReleasedAndNoLongerPolled) {
    StartWindow();
    VirtualRunFor(500);
    EXPECT_EQ(VirtualCallsOf("ControllerPoll").size(), 10u);

    VirtualFail("ControllerPoll");
    VirtualRunFor(3000);
    EXPECT_EQ(VirtualCallsOf("ControllerPoll").size(), 11u);
    EXPECT_EQ(VirtualCallsOf("ControllerClose").size(), 1u);
    EXPECT_EQ(g_mode, MODE_MENU);  // the ticks go on
}

TEST_F(Startup, WhileTicksAreOffTheIntroWaitsButTheControllerIsStillPolled) {
    StartWindow();
    VirtualRunFor(0);
    g_tickEnabled = 0;
    VirtualRunFor(3000);
    EXPECT_EQ(g_mode, MODE_INTRO);
    EXPECT_EQ(VirtualCallsOf("ControllerPoll").size(), 60u);

    g_tickEnabled = 1;
    VirtualRunFor(50);
    EXPECT_EQ(g_mode, MODE_MENU);
}

TEST_F(Startup, TheIntroStartsOnceHoweverOftenTheWindowIsRepainted) {
    StartWindow();
    for (int i = 0; i < 5; ++i) {
        VirtualInvalidate();
        VirtualRunFor(400);
    }
    EXPECT_EQ(VirtualCallsOf("PaintImage").size(), 5u);
    EXPECT_EQ(VirtualCallsOf("Play", kIntroSoundFile).size(), 1u);
    EXPECT_EQ(g_mode, MODE_MENU);
}

TEST_F(Startup, TheAboutBoxNamesTheGameAndItsVersion) {
    StartWindow();
    VirtualSysCommand(IDM_ABOUTBOX + 0x20);  // another system command
    VirtualSysCommand(IDM_ABOUTBOX);
    VirtualRunFor(0);
    std::vector<std::string> boxes = LabelsOf("AboutBox");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].rfind("About Tapdash|Tapdash  Version 1.0\n", 0), 0u);
}

TEST_F(Startup, LeavingFromTheMenuReleasesEverythingInOrderAfterTheGoodbye) {
    StartWindow();
    SkipToMenu();
    VirtualPress(kKeyEscape);
    EXPECT_FALSE(VirtualRunFor(5000));
    EXPECT_LT(CallAt("Release", kExitSoundFile),
              CallAt("Release", kMenuSoundFiles[kMenuSlotInstructions]));
    ExpectShutdownInOrder();
    EXPECT_EQ(VirtualLiveBuffers(), 0);
}

TEST_F(Startup, TheCloseButtonSkipsTheGoodbyeButShutsDownInTheSameOrder) {
    StartWindow();
    VirtualRunFor(1500);
    VirtualCloseButton();
    EXPECT_FALSE(VirtualRunFor(100));
    EXPECT_TRUE(VirtualCallsOf("Label", kExitSoundFile).empty());
    ExpectShutdownInOrder();
}

// With no sound device every sound is refused, so nothing is waited for: after the error boxes,
// Ctrl leaves the silent intro, Escape says a silent goodbye and the program ends at once.
TEST_F(Startup, WithNoSoundDeviceEscapeStillEndsTheProgram) {
    PreparePack();
    VirtualSetNoDevice(true);
    testing::internal::CaptureStderr();
    StartWindow();
    // The reason goes to standard error beside each box, for a bug report.
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "tapdash: DSound not created: no sound device on the virtual platform\n"
              "tapdash: Error in second initialisation: no sound device on the virtual platform\n");
    EXPECT_EQ(LabelsOf("MessageBox"),
              (std::vector<std::string>{"Error!|DSound not created",
                                        "Error!|Error in second initialisation"}));
    EXPECT_TRUE(VirtualRunFor(0));
    VirtualPress(kKeyCtrl);
    EXPECT_TRUE(VirtualRunFor(0));
    const uint64_t escapeAt = VirtualNowMs();
    VirtualPress(kKeyEscape);
    EXPECT_FALSE(VirtualRunUntilClosed(0));
    EXPECT_EQ(VirtualNowMs(), escapeAt);
    EXPECT_EQ(VirtualLiveBuffers(), 0);
    EXPECT_FALSE(VirtualCallsOf("CreateBuffer").empty());
    for (const VirtualCall& call : VirtualCallsOf("CreateBuffer"))
        EXPECT_EQ(call.a, kAudioErrNoDevice);
}
