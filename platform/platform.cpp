// The forwarding of every backend-dependent call to the selected backend's table, and the
// calls that are the same in every backend. The sound operations are soft_audio.cpp's.
#include "platform/platform.h"

#include <cstdlib>

#include "platform/driver.h"
#include "platform/message_loop.h"

static const PlatformDriver* g_platformDriver = nullptr;

void PlatformSelectDriver(const PlatformDriver* driver) {
    g_platformDriver = driver;
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

// The window's close, destroy and Shift state are the shared message loop's in every backend.
void PlatformPostClose() {
    LoopPostClose();
}
void PlatformDestroyWindow() {
    LoopDestroyWindow();
}
int PlatformIsShiftDown() {
    return (LoopCurrentFlags() & kMsgFlagShift) ? 1 : 0;
}

void PlatformRunWindow(const char* title, int width, int height, PlatformMessageHandler handler) {
    g_platformDriver->runWindow(title, width, height, handler);
}
void PlatformPaintImage(const PlatformImage& image) {
    g_platformDriver->paintImage(image);
}
void PlatformSetWindowIcon(const PlatformImage& big, const PlatformImage& small) {
    g_platformDriver->setWindowIcon(big, small);
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
int PlatformControllerOpen() {
    return g_platformDriver->controllerOpen();
}
void PlatformControllerAcquire() {
    g_platformDriver->controllerAcquire();
}
int PlatformControllerPoll() {
    return g_platformDriver->controllerPoll();
}
void PlatformControllerClose() {
    g_platformDriver->controllerClose();
}
int PlatformHttpGet(const char* url, std::string* body, size_t maxBodyBytes) {
    PlatformClearLastError();
    return g_platformDriver->httpGet(url, body, maxBodyBytes);
}
