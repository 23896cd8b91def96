// The virtual backend as tests use it (blocking calls move the clock, failures can be armed, the
// controller and the network are what the test says, a reset forgets everything), and the main
// window's message loop driven on its clock: what the game sees, in what order and when.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/key_codes.h"
#include "platform/platform.h"
#include "platform/virtual/virtual.h"

namespace {

struct Seen {
    int type;
    int wParam;
    uint64_t atMs;
    int shift;
};

std::vector<Seen> s_seen;
// What the window does with a key-down: the tests set it up.
int s_blockingKey = 0;  // blocks the loop for s_blockMs when pressed
int s_blockMs = 0;
int s_quitKey = 0;  // closes the window when pressed
int s_killKey = 0;  // kills the game timer when pressed
const int kTimerId = 1;

void Window(const PlatformMessage& msg) {
    s_seen.push_back(Seen{msg.type, msg.wParam, VirtualNowMs(), PlatformIsShiftDown()});
    switch (msg.type) {
        case kMsgInitDialog:
            PlatformSetTimer(kTimerId, 50);
            break;
        case kMsgKeyDown:
            if (msg.wParam == s_blockingKey) PlatformSleep(s_blockMs);
            if (msg.wParam == s_quitKey) PlatformPostClose();
            if (msg.wParam == s_killKey) PlatformKillTimer(kTimerId);
            break;
        case kMsgClose:
            PlatformDestroyWindow();
            break;
    }
}

std::vector<int> TypesSeen() {
    std::vector<int> types;
    for (const Seen& seen : s_seen) types.push_back(seen.type);
    return types;
}

std::vector<uint64_t> TickTimes() {
    std::vector<uint64_t> times;
    for (const Seen& seen : s_seen) {
        if (seen.type == kMsgTimer) times.push_back(seen.atMs);
    }
    return times;
}

class Loop : public testing::Test {
  protected:
    void SetUp() override {
        VirtualReset();
        s_seen.clear();
        s_blockingKey = s_quitKey = s_killKey = 0;
        s_blockMs = 0;
    }
    void Open() {
        PlatformRunWindow("Tapdash", 215, 228, Window);
        VirtualRunFor(0);  // the start-up messages
        s_seen.clear();
    }
};

TEST_F(Loop, StartingTheWindowInitialisesActivatesAndPaintsBeforeTheFirstTick) {
    PlatformRunWindow("Tapdash", 215, 228, Window);
    ASSERT_EQ(TypesSeen(), std::vector<int>{kMsgInitDialog});  // nothing more until the test runs
    EXPECT_TRUE(VirtualRunFor(60));
    EXPECT_EQ(TypesSeen(), (std::vector<int>{kMsgInitDialog, kMsgActivate, kMsgPaint, kMsgTimer}));
    EXPECT_EQ(TickTimes(), std::vector<uint64_t>{50});
    EXPECT_EQ(VirtualNowMs(), 60u);
}

TEST_F(Loop, KeysComeInArrivalOrderBeforeAPaintBeforeADueTick) {
    s_blockingKey = 'S';
    s_blockMs = 100;
    Open();
    VirtualInvalidate();  // waits behind the key handled first
    VirtualKeyDown('S');  // blocks until 100, when the tick is due as well
    VirtualKeyDownAt(30, 'A');
    VirtualKeyDownAt(60, 'B');
    VirtualKeyUpAt(60, 'A');
    VirtualRunFor(100);
    EXPECT_EQ(TypesSeen(), (std::vector<int>{kMsgKeyDown, kMsgKeyDown, kMsgKeyDown, kMsgKeyUp,
                                             kMsgPaint, kMsgTimer}));
    EXPECT_EQ(s_seen[1].wParam, 'A');
    EXPECT_EQ(s_seen[2].wParam, 'B');
    EXPECT_EQ(s_seen[3].wParam, 'A');
    EXPECT_EQ(TickTimes(), std::vector<uint64_t>{100});
}

TEST_F(Loop, AfterABlockingHandlerKeysPressedMeanwhileComeFirstAndOnlyOneTick) {
    s_blockingKey = 'S';
    s_blockMs = 500;
    Open();
    VirtualKeyDownAt(10, 'S');  // blocks from 10 to 510
    VirtualKeyDownAt(100, 'X');
    VirtualKeyDownAt(300, 'Y', true);
    VirtualKeyUpAt(400, 'X');
    VirtualRunFor(600);

    std::vector<Seen> keys;
    for (const Seen& seen : s_seen) {
        if (seen.type == kMsgKeyDown || seen.type == kMsgKeyUp) keys.push_back(seen);
    }
    ASSERT_EQ(keys.size(), 4u);
    EXPECT_EQ(keys[0].wParam, 'S');
    EXPECT_EQ(keys[0].atMs, 10u);
    EXPECT_EQ(keys[1].wParam, 'X');
    EXPECT_EQ(keys[2].wParam, 'Y');
    EXPECT_EQ(keys[2].shift, 1);
    EXPECT_EQ(keys[3].type, kMsgKeyUp);
    EXPECT_EQ(keys[3].atMs, 510u);
    EXPECT_EQ(TypesSeen().back(), kMsgTimer);
    // The nine ticks missed during the block are not made up: one at once, then every 50 ms.
    EXPECT_EQ(TickTimes(), (std::vector<uint64_t>{510, 560}));
    EXPECT_EQ(VirtualCallsOf("Sleep").size(), 1u);
    EXPECT_EQ(VirtualCallsOf("Sleep")[0].a, 500);
}

TEST_F(Loop, AKilledTimerStopsTickingAndARestartedOneTicksFromItsRestart) {
    s_killKey = 'K';
    Open();
    VirtualRunFor(120);
    VirtualPress('K');
    VirtualRunFor(500);
    EXPECT_EQ(TickTimes(), (std::vector<uint64_t>{50, 100}));

    s_seen.clear();
    EXPECT_EQ(PlatformSetTimer(kTimerId, 50), 1);
    VirtualRunFor(120);
    EXPECT_EQ(TickTimes(), (std::vector<uint64_t>{670, 720}));
}

TEST_F(Loop, ShiftIsReportedOnlyForTheKeyThatWasTypedWithIt) {
    Open();
    VirtualKeyDown('A', true);
    VirtualKeyUp('A');
    VirtualKeyDown('A');
    VirtualRunFor(50);
    ASSERT_EQ(s_seen.size(), 4u);
    EXPECT_EQ(s_seen[0].shift, 1);
    EXPECT_EQ(s_seen[1].shift, 0);
    EXPECT_EQ(s_seen[2].shift, 0);
    EXPECT_EQ(s_seen[3].type, kMsgTimer);
    EXPECT_EQ(s_seen[3].shift, 0);
    EXPECT_EQ(PlatformIsShiftDown(), 0);
}

TEST_F(Loop, AGameThatQuitsClosesBeforeTheKeysStillWaiting) {
    s_quitKey = kKeyEscape;
    Open();
    VirtualKeyDown(kKeyEscape);
    VirtualKeyDown(kKeyDown);
    VirtualKeyDown(kKeyDown);
    EXPECT_FALSE(VirtualRunFor(100));
    EXPECT_EQ(TypesSeen(), (std::vector<int>{kMsgKeyDown, kMsgClose, kMsgDestroy}));
    EXPECT_EQ(VirtualNowMs(), 100u);
}

TEST_F(Loop, TheCloseButtonTakesItsTurnAfterKeysPressedBeforeIt) {
    Open();
    VirtualKeyDownAt(20, 'A');
    VirtualRunFor(20);
    VirtualCloseButton();
    VirtualKeyDown('B');  // too late: the window is gone
    EXPECT_FALSE(VirtualRunUntilClosed(1000));
    EXPECT_EQ(TypesSeen(), (std::vector<int>{kMsgKeyDown, kMsgClose, kMsgDestroy}));
    EXPECT_EQ(VirtualNowMs(), 20u);
}

using Virtual = Loop;

TEST_F(Virtual, SleepingAndWaitingForTheServerMoveTheClockAndAreRecorded) {
    PlatformSleep(1000);
    PlatformYield();
    EXPECT_EQ(VirtualNowMs(), 1001u);

    VirtualSetHttpHandler([](const std::string& url, std::string* body, uint64_t* durationMs) {
        *body = url.find("top2") != std::string::npos ? "3rd place" : "";
        *durationMs = 250;
        return 1;
    });
    std::string reply;
    EXPECT_EQ(PlatformHttpGet("http://scores/top2.php?score=900", &reply, 3), 1);
    EXPECT_EQ(reply, "3rd");  // only as much as was asked for
    EXPECT_EQ(VirtualNowMs(), 1251u);

    VirtualFail("HttpGet");
    EXPECT_EQ(PlatformHttpGet("http://scores/top1.php", nullptr, 0), 0);
    EXPECT_EQ(PlatformHttpGet("http://scores/top1.php", nullptr, 0), 1);

    std::vector<VirtualCall> sleeps = VirtualCallsOf("Sleep");
    ASSERT_EQ(sleeps.size(), 1u);
    EXPECT_EQ(sleeps[0].a, 1000);
    EXPECT_EQ(sleeps[0].timeMs, 0u);
    std::vector<VirtualCall> gets = VirtualCallsOf("HttpGet", "top1.php");
    ASSERT_EQ(gets.size(), 2u);
    EXPECT_EQ(gets[0].timeMs, 1251u);
    EXPECT_EQ(VirtualCallsOf("HttpGet").size(), 3u);
}

TEST_F(Virtual, AnArmedFailureRefusesOnlyAsManyCallsAsAskedFor) {
    Open();
    VirtualFail("SetTimer", 2);
    EXPECT_EQ(PlatformSetTimer(2, 100), 0);
    EXPECT_EQ(PlatformSetTimer(2, 100), 0);
    EXPECT_EQ(PlatformSetTimer(2, 100), 1);
    std::vector<VirtualCall> timers = VirtualCallsOf("SetTimer");
    ASSERT_EQ(timers.size(), 4u);  // the window's own and the three above
    EXPECT_EQ(timers[3].a, 2);
    EXPECT_EQ(timers[3].b, 100);
}

TEST_F(Virtual, AControllerIsThereOnlyWhenAttachedAndIsLostWhenUnplugged) {
    EXPECT_LT(PlatformControllerOpen(), 0);

    VirtualAttachController(true);
    EXPECT_EQ(PlatformControllerOpen(), 0);
    EXPECT_EQ(PlatformControllerPoll(), 0);
    VirtualFail("ControllerPoll");
    EXPECT_LT(PlatformControllerPoll(), 0);
    EXPECT_EQ(PlatformControllerPoll(), 0);
    VirtualAttachController(false);
    EXPECT_LT(PlatformControllerPoll(), 0);
    PlatformControllerClose();
    EXPECT_EQ(VirtualCallsOf("ControllerPoll").size(), 4u);
}

TEST_F(Virtual, AResetForgetsTheWindowTheClockTheRecordAndWhatWasArmed) {
    Open();
    VirtualRunFor(120);
    VirtualKeyDownAt(500, 'A');
    VirtualFail("SetTimer", 5);
    VirtualAttachController(true);
    VirtualSetHttpHandler([](const std::string&, std::string*, uint64_t*) { return 1; });

    VirtualReset();
    s_seen.clear();
    EXPECT_EQ(VirtualNowMs(), 0u);
    EXPECT_TRUE(VirtualCalls().empty());
    EXPECT_FALSE(VirtualRunFor(1000));  // no window any more, and the old one hears nothing
    EXPECT_TRUE(s_seen.empty());
    EXPECT_EQ(VirtualNowMs(), 1000u);
    EXPECT_LT(PlatformControllerOpen(), 0);

    // A new window starts with no timers but its own, and the old scripted key is gone.
    VirtualReset();
    PlatformRunWindow("Tapdash", 215, 228, Window);
    EXPECT_TRUE(VirtualRunFor(600));
    const std::vector<int> types = TypesSeen();
    EXPECT_EQ(std::count(types.begin(), types.end(), kMsgKeyDown), 0);
    EXPECT_EQ(TickTimes().size(), 12u);
}

}  // namespace
