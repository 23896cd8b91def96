// The Windows backend: a Win32 window, keys and timers, WASAPI under the software sound device,
// DirectInput 8 for the controller and WinINet for HTTP.
#include "platform/driver.h"
#include "platform/win32/win32_audio.h"
#include "platform/win32/win32_backend.h"
#include "platform/win32/win32_wasapi.h"

const PlatformDriver g_systemDriver = {
    .name = "win32",
    .kind = kPlatformReal,
    .runWindow = Win32RunWindow,
    .setTimer = Win32SetTimer,
    .killTimer = nullptr,
    .paintImage = Win32PaintImage,
    .setWindowIcon = Win32SetWindowIcon,
    .messageBox = Win32MessageBox,
    .aboutBox = Win32AboutBox,
    .nowMs = Win32NowMs,
    .sleep = Win32Sleep,
    .yield = Win32Yield,
    .audio = {.open = Win32AudioOpen,
              .close = WasapiClose,
              .lock = WasapiLock,
              .unlock = WasapiUnlock},
    .controllerOpen = Win32ControllerOpen,
    .controllerAcquire = Win32ControllerAcquire,
    .controllerPoll = Win32ControllerPoll,
    .controllerClose = Win32ControllerClose,
    .httpGet = Win32HttpGet,
    .soundWatcher = nullptr,
};
