// The browser backend: the page's canvas, keys, sound graph and fetch, and the browser's storage
// under the program folder's files.
#include "platform/driver.h"
#include "platform/web/web_backend.h"

namespace {

int NoController() {
    return -1;
}
void Nothing() {}

}  // namespace

const PlatformDriver g_webDriver = {
    .name = "web",
    .kind = kPlatformReal,
    .runWindow = WebRunWindow,
    .setTimer = nullptr,
    .killTimer = nullptr,
    .paintImage = WebPaintImage,
    .setWindowIcon = WebSetWindowIcon,
    .messageBox = WebMessageBox,
    .aboutBox = WebAboutBox,
    .nowMs = WebNowMs,
    .sleep = WebSleep,
    .yield = WebYield,
    .audio = {.open = WebAudioOpen,
              .close = WebAudioClose,
              .lock = WebAudioLock,
              .unlock = WebAudioUnlock},
    // A game controller reaches a page only through the Gamepad API after a button press; the
    // game only reads and discards its state, so the page offers none.
    .controllerOpen = NoController,
    .controllerAcquire = Nothing,
    .controllerPoll = NoController,
    .controllerClose = Nothing,
    .httpGet = WebHttpGet,
    .soundWatcher = &kWebPlayNotes,
};

// The browser build's one backend, selected as the real one is on the other systems.
void PlatformSelectReal() {
    PlatformSelectDriver(&g_webDriver);
}
