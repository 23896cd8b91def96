// The forwarding of every backend-dependent call to the selected backend's table, and the
// calls that are the same in every backend.
#include "platform/platform.h"

#include "platform/driver.h"
#include "platform/message_loop.h"

static const PlatformDriver* g_platformDriver = nullptr;

void PlatformSelectDriver(const PlatformDriver* driver) {
    g_platformDriver = driver;
}

const PlatformDriver* PlatformCurrentDriver() {
    return g_platformDriver;
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
int PlatformSetTimer(int id, int periodMs) {
    return g_platformDriver->setTimer(id, periodMs);
}
void PlatformKillTimer(int id) {
    g_platformDriver->killTimer(id);
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
void PlatformAboutBox(const char* caption, const char* const* lines, int lineCount) {
    g_platformDriver->aboutBox(caption, lines, lineCount);
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
int PlatformAudioOpen() {
    PlatformClearLastError();
    return g_platformDriver->audioOpen();
}
void PlatformAudioClose() {
    g_platformDriver->audioClose();
}
int PlatformCreateBuffer(const PlatformWaveFormat* format, uint32_t bytes, int flags,
                         Audio3DAlgorithm algorithm, PlatformBuffer* out) {
    return g_platformDriver->createBuffer(format, bytes, flags, algorithm, out);
}
int PlatformBufferLock(PlatformBuffer buffer, uint32_t offset, uint32_t bytes, void** region1,
                       uint32_t* bytes1, void** region2, uint32_t* bytes2) {
    return g_platformDriver->bufferLock(buffer, offset, bytes, region1, bytes1, region2, bytes2);
}
int PlatformBufferUnlock(PlatformBuffer buffer, void* region1, uint32_t bytes1, void* region2,
                         uint32_t bytes2) {
    return g_platformDriver->bufferUnlock(buffer, region1, bytes1, region2, bytes2);
}
int PlatformBufferSetPosition(PlatformBuffer buffer, uint32_t bytePosition) {
    return g_platformDriver->bufferSetPosition(buffer, bytePosition);
}
int PlatformBufferSetPan(PlatformBuffer buffer, int pan) {
    return g_platformDriver->bufferSetPan(buffer, pan);
}
int PlatformBufferSetVolume(PlatformBuffer buffer, int volume) {
    return g_platformDriver->bufferSetVolume(buffer, volume);
}
int PlatformBufferPlay(PlatformBuffer buffer, int flags) {
    return g_platformDriver->bufferPlay(buffer, flags);
}
int PlatformBufferStop(PlatformBuffer buffer) {
    return g_platformDriver->bufferStop(buffer);
}
int PlatformBufferGetStatus(PlatformBuffer buffer, uint32_t* status) {
    return g_platformDriver->bufferGetStatus(buffer, status);
}
void PlatformBufferRelease(PlatformBuffer buffer) {
    g_platformDriver->bufferRelease(buffer);
}
void PlatformBufferSetLabel(PlatformBuffer buffer, const char* label) {
    g_platformDriver->bufferSetLabel(buffer, label);
}
int PlatformBufferGet3D(PlatformBuffer buffer, PlatformBuffer3D* out) {
    return g_platformDriver->bufferGet3D(buffer, out);
}
int PlatformBuffer3DSetMinDistance(PlatformBuffer3D buffer3D, float distance) {
    return g_platformDriver->buffer3DSetMinDistance(buffer3D, distance);
}
int PlatformBuffer3DSetPosition(PlatformBuffer3D buffer3D, float x, float y, float z) {
    return g_platformDriver->buffer3DSetPosition(buffer3D, x, y, z);
}
void PlatformBuffer3DRelease(PlatformBuffer3D buffer3D) {
    g_platformDriver->buffer3DRelease(buffer3D);
}
int PlatformCreateListener(PlatformListener* out) {
    return g_platformDriver->createListener(out);
}
void PlatformListenerRelease(PlatformListener listener) {
    g_platformDriver->listenerRelease(listener);
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
