// The game controller on Windows: a machine without one plays on, and a controller that keeps
// losing its input never holds up the game.
#include <gtest/gtest.h>

#include "platform/win32/win32_backend.h"
#define DIRECTINPUT_VERSION 0x0800
#include <dinput.h>

namespace {

struct ScriptedAcquire {
    int lostBeforeSuccess;  // how many times the input is reported lost first; -1: for ever
    int calls = 0;
};

HRESULT Acquire(void* device) {
    auto* script = static_cast<ScriptedAcquire*>(device);
    ++script->calls;
    if (script->lostBeforeSuccess < 0 || script->calls <= script->lostBeforeSuccess)
        return DIERR_INPUTLOST;
    return DI_OK;
}

TEST(Win32Controller, WithNoneAttachedOpeningFailsAndPollingAndClosingAreHarmless) {
    EXPECT_LT(Win32ControllerOpen(), 0);
    EXPECT_EQ(Win32ControllerPoll(), 0);
    Win32ControllerAcquire();
    Win32ControllerClose();
    Win32ControllerClose();
}

TEST(Win32Controller, InputLostForAMomentIsAcquiredAgainAtOnce) {
    ScriptedAcquire lostTwice{2};
    EXPECT_EQ(Win32AcquireAfterLoss(Acquire, &lostTwice), DI_OK);
    EXPECT_EQ(lostTwice.calls, 3);

    ScriptedAcquire notLost{0};
    EXPECT_EQ(Win32AcquireAfterLoss(Acquire, &notLost), DI_OK);
    EXPECT_EQ(notLost.calls, 1);
}

TEST(Win32Controller, AControllerThatKeepsLosingItsInputDoesNotHoldUpTheTick) {
    ScriptedAcquire lostForEver{-1};
    EXPECT_EQ(Win32AcquireAfterLoss(Acquire, &lostForEver), DIERR_INPUTLOST);
    EXPECT_EQ(lostForEver.calls, kControllerAcquireTries);
}

}  // namespace
