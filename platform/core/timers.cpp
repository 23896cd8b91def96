// The window's periodic timers: the message loop keeps each one's schedule on the backend's
// clock (platform/core/message_loop.h); a backend's optional hooks add what its system needs.
#include "platform/driver.h"
#include "platform/core/message_loop.h"

int PlatformSetTimer(int id, int periodMs) {
    const PlatformDriver* driver = PlatformCurrentDriver();
    if (driver->setTimer && !driver->setTimer(id, periodMs)) return 0;
    return LoopSetTimer(id, periodMs, driver->nowMs());
}

void PlatformKillTimer(int id) {
    const PlatformDriver* driver = PlatformCurrentDriver();
    if (driver->killTimer) driver->killTimer(id);
    LoopKillTimer(id);
}
