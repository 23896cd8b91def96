// A backend may leave the controller and the window icon out of its table, as the browser's does:
// the layer answers for those slots, and the game runs as on a machine without a controller.
#include <gtest/gtest.h>

#include <cstdint>

#include "input/controller.h"
#include "platform/driver.h"
#include "platform/virtual/virtual.h"

TEST(OptionalSlots, ABackendWithoutThemHasNoControllerAndKeepsItsIcon) {
    VirtualReset();
    VirtualAttachController(true);
    PlatformDriver bare = *PlatformCurrentDriver();
    bare.setWindowIcon = nullptr;
    bare.controllerOpen = nullptr;
    bare.controllerAcquire = nullptr;
    bare.controllerPoll = nullptr;
    bare.controllerClose = nullptr;
    PlatformSelectDriver(&bare);

    // A null slot called would crash here; a controller seen through one would be opened.
    EXPECT_LT(InitController(), 0);
    AcquireController();
    EXPECT_EQ(PollController(), 0);
    ShutdownController();
    EXPECT_LT(PlatformControllerPoll(), 0);
    PlatformControllerAcquire();
    PlatformControllerClose();
    const uint8_t pixels[4] = {};
    PlatformSetWindowIcon({1, 1, pixels}, {1, 1, pixels});
    EXPECT_TRUE(VirtualCallsOf("ControllerOpen").empty());
    EXPECT_TRUE(VirtualCallsOf("SetWindowIcon").empty());
    VirtualReset();
}
