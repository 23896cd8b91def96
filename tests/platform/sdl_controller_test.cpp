// The game controller on a machine with or without a joystick: the game must run either way,
// and shutting down twice (a lost controller, then the window closing) must be harmless.
#include <gtest/gtest.h>

#include "platform/sdl/sdl_backend.h"

TEST(SdlController, PollingWithOrWithoutAJoystickNeverFailsUntilOneIsLost) {
    bool opened = SdlControllerOpen() == 0;
    EXPECT_EQ(SdlControllerPoll(), 0) << (opened ? "joystick attached" : "no joystick");
    SdlControllerClose();
    SdlControllerClose();
    // Nothing open: nothing to lose.
    EXPECT_EQ(SdlControllerPoll(), 0);
    EXPECT_EQ(SDL_WasInit(SDL_INIT_JOYSTICK), 0u);
}
