// The virtual backend as tests use it: blocking calls move the clock, failures can be armed,
// the controller and the network are what the test says, and a reset forgets everything.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/virtual/virtual.h"

namespace {

std::vector<int> s_messages;

void CountingWindow(const PlatformMessage& msg) {
    s_messages.push_back(msg.type);
    if (msg.type == kMsgInitDialog) PlatformSetTimer(1, 50);
    if (msg.type == kMsgClose) PlatformDestroyWindow();
}

class Virtual : public testing::Test {
  protected:
    void SetUp() override {
        VirtualReset();
        s_messages.clear();
    }
};

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
    PlatformRunWindow("Tapdash", 215, 228, CountingWindow);
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
    PlatformRunWindow("Tapdash", 215, 228, CountingWindow);
    VirtualRunFor(120);
    VirtualKeyDownAt(500, 'A');
    VirtualFail("SetTimer", 5);
    VirtualAttachController(true);
    VirtualSetHttpHandler([](const std::string&, std::string*, uint64_t*) { return 1; });

    VirtualReset();
    s_messages.clear();
    EXPECT_EQ(VirtualNowMs(), 0u);
    EXPECT_TRUE(VirtualCalls().empty());
    EXPECT_FALSE(VirtualRunFor(1000));  // no window any more, and the old one hears nothing
    EXPECT_TRUE(s_messages.empty());
    EXPECT_EQ(VirtualNowMs(), 1000u);
    EXPECT_LT(PlatformControllerOpen(), 0);

    // A new window starts with no timers but its own, and the old scripted key is gone.
    VirtualReset();
    PlatformRunWindow("Tapdash", 215, 228, CountingWindow);
    EXPECT_TRUE(VirtualRunFor(600));
    EXPECT_EQ(std::count(s_messages.begin(), s_messages.end(), kMsgKeyDown), 0);
    EXPECT_EQ(std::count(s_messages.begin(), s_messages.end(), kMsgTimer), 12);
}

}  // namespace
