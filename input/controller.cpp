// The game controller: the first attached one is opened at start-up, polled on every timer
// message and released at shutdown. Its state is read and discarded; holding it keeps it in the
// game's use while the window is in front.
#include "input/controller.h"

#include "platform/platform.h"

int g_controllerLive = 0;

static bool s_controllerOpen = false;

int InitController() {
    int result = PlatformControllerOpen();
    if (result < 0) return result;
    s_controllerOpen = true;
    return 0;
}

int PollController() {
    if (!s_controllerOpen) return 0;
    int result = PlatformControllerPoll();
    return result < 0 ? result : 0;
}

void ShutdownController() {
    if (!s_controllerOpen) return;
    PlatformControllerClose();
    s_controllerOpen = false;
}

void AcquireController() {
    if (s_controllerOpen) PlatformControllerAcquire();
}
