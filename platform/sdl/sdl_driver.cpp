// The backend on Linux: an SDL2 window, keyboard, audio device and joystick, and libcurl for HTTP.
#include "platform/driver.h"
#include "platform/sdl/sdl_backend.h"

const PlatformDriver g_systemDriver = {
    .name = "sdl",
    .kind = kPlatformReal,
    .runWindow = SdlRunWindow,
    .setTimer = nullptr,
    .killTimer = nullptr,
    .paintImage = SdlPaintImage,
    .setWindowIcon = SdlSetWindowIcon,
    .messageBox = SdlMessageBox,
    .aboutBox = SdlAboutBox,
    .nowMs = SdlNowMs,
    .sleep = SdlSleep,
    .yield = SdlYield,
    .audio = {.open = SdlAudioOpen,
              .close = SdlAudioClose,
              .lock = SdlAudioLock,
              .unlock = SdlAudioUnlock},
    .controllerOpen = SdlControllerOpen,
    .controllerAcquire = nullptr,
    .controllerPoll = SdlControllerPoll,
    .controllerClose = SdlControllerClose,
    .httpGet = SdlHttpGet,
    .soundWatcher = nullptr,
};
