// The game controller on a machine with or without a joystick: the game must run either way,
// and shutting down twice (a lost controller, then the window closing) must be harmless.
#include <gtest/gtest.h>

#include "platform/sdl/sdl_backend.h"

TEST(RealController, PollingWithOrWithoutAJoystickNeverFailsUntilOneIsLost) {
    bool opened = RealControllerOpen() == 0;
    RealControllerAcquire();
    EXPECT_EQ(RealControllerPoll(), 0) << (opened ? "joystick attached" : "no joystick");
    RealControllerClose();
    RealControllerClose();
    // Nothing open: nothing to lose.
    EXPECT_EQ(RealControllerPoll(), 0);
    EXPECT_EQ(SDL_WasInit(SDL_INIT_JOYSTICK), 0u);
}
