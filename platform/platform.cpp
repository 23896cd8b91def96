// The forwarding of every backend-dependent call to the selected backend's table, with the
// core's answer for a slot the backend leaves null, and the calls that are the same in every
// backend. The sound operations are platform/sound/'s; the close, destroy and Shift state of the
// window are the message loop's (platform/core/).
#include "platform/platform.h"

#include <cstdlib>

#include "platform/driver.h"

static const PlatformDriver* g_platformDriver = nullptr;

void PlatformSelectDriver(const PlatformDriver* driver) {
    g_platformDriver = driver;
}

void PlatformSelectReal() {
    PlatformSelectDriver(&g_systemDriver);
}

const PlatformDriver* PlatformCurrentDriver() {
    return g_platformDriver;
}

std::string PlatformEnvironment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

PlatformKind PlatformSelected() {
    return g_platformDriver ? g_platformDriver->kind : kPlatformReal;
}

void PlatformRunWindow(const char* title, int width, int height, PlatformMessageHandler handler) {
    g_platformDriver->runWindow(title, width, height, handler);
}
void PlatformPaintImage(const PlatformImage& image) {
    g_platformDriver->paintImage(image);
}
void PlatformSetWindowIcon(const PlatformImage& big, const PlatformImage& small) {
    if (g_platformDriver->setWindowIcon) g_platformDriver->setWindowIcon(big, small);
}
void PlatformMessageBox(const char* caption, const char* text) {
    g_platformDriver->messageBox(caption, text);
}
uint64_t PlatformNowMs() {
    return g_platformDriver->nowMs();
}
void PlatformSleep(int ms) {
    g_platformDriver->sleep(ms);
}
void PlatformYield() {
    g_platformDriver->yield();
}
// A backend without a controller has none attached.
int PlatformControllerOpen() {
    return g_platformDriver->controllerOpen ? g_platformDriver->controllerOpen() : -1;
}
void PlatformControllerAcquire() {
    if (g_platformDriver->controllerAcquire) g_platformDriver->controllerAcquire();
}
int PlatformControllerPoll() {
    return g_platformDriver->controllerPoll ? g_platformDriver->controllerPoll() : -1;
}
void PlatformControllerClose() {
    if (g_platformDriver->controllerClose) g_platformDriver->controllerClose();
}
int PlatformHttpGet(const char* url, std::string* body, size_t maxBodyBytes) {
    PlatformClearLastError();
    return g_platformDriver->httpGet(url, body, maxBodyBytes);
}
