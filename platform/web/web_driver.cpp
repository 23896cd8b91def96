// The browser backend: the page's canvas, keys, sound graph and fetch, and the browser's storage
// under the program folder's files.
#include "platform/driver.h"
#include "platform/web/web_backend.h"

const PlatformDriver g_systemDriver = {
    .name = "web",
    .kind = kPlatformReal,
    .runWindow = WebRunWindow,
    .setTimer = nullptr,
    .killTimer = nullptr,
    .paintImage = WebPaintImage,
    .setWindowIcon = nullptr,
    .messageBox = WebMessageBox,
    .aboutBox = WebAboutBox,
    .nowMs = WebNowMs,
    .sleep = WebSleep,
    .yield = WebYield,
    .audio = {.open = WebAudioOpen,
              .close = WebAudioClose,
              .lock = WebAudioLock,
              .unlock = WebAudioUnlock},
    .controllerOpen = nullptr,
    .controllerAcquire = nullptr,
    .controllerPoll = nullptr,
    .controllerClose = nullptr,
    .httpGet = WebHttpGet,
    .soundWatcher = &kWebPlayNotes,
};
