// The real backend: an SDL2 window, keyboard, audio device and joystick, and libcurl for HTTP.
#include "platform/driver.h"
#include "platform/real/real_backend.h"

const PlatformDriver g_realDriver = {
    .name = "real",
    .kind = kPlatformReal,
    .runWindow = RealRunWindow,
    .setTimer = nullptr,
    .killTimer = nullptr,
    .paintImage = RealPaintImage,
    .setWindowIcon = RealSetWindowIcon,
    .messageBox = RealMessageBox,
    .aboutBox = RealAboutBox,
    .nowMs = RealNowMs,
    .sleep = RealSleep,
    .yield = RealYield,
    .audio = {.open = RealAudioOpen,
              .close = RealAudioClose,
              .lock = RealAudioLock,
              .unlock = RealAudioUnlock},
    .controllerOpen = RealControllerOpen,
    .controllerAcquire = RealControllerAcquire,
    .controllerPoll = RealControllerPoll,
    .controllerClose = RealControllerClose,
    .httpGet = RealHttpGet,
    .soundWatcher = nullptr,
};

void PlatformSelectReal() {
    PlatformSelectDriver(&g_realDriver);
}
