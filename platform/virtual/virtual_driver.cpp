// The virtual backend's table: window, timers, time, the sound device, controller and HTTP on the
// virtual clock, every call recorded.
#include <string>

#include "platform/core/message_loop.h"
#include "platform/driver.h"
#include "platform/virtual/virtual.h"
#include "platform/virtual/virtual_internal.h"

namespace {

bool s_controllerOpen = false;

void Record(const char* op, const std::string& label = "", int a = 0, int b = 0) {
    VirtualCall call;
    call.op = op;
    call.label = label;
    call.a = a;
    call.b = b;
    VirtualRecord(call);
}

// Creates the window and shows it; the test then drives the loop with VirtualRunFor.
void RunWindow(const char* title, int width, int height, PlatformMessageHandler handler) {
    LoopBegin(handler);
    Record("RunWindow", title ? title : "", width, height);
    LoopDeliver(kMsgInitDialog, 0);
    if (!LoopWindowOpen()) return;
    LoopPostMessage(kMsgActivate, 1);
    LoopPostPaint();
}

int SetTimer(int id, int periodMs) {
    Record("SetTimer", "", id, periodMs);
    return VirtualShouldFail("SetTimer") ? 0 : 1;
}

void KillTimer(int id) {
    Record("KillTimer", "", id);
}

void PaintImage(const PlatformImage& image) {
    Record("PaintImage", "", image.width, image.height);
}

void SetWindowIcon(const PlatformImage& big, const PlatformImage& small) {
    Record("SetWindowIcon", "", big.width, small.width);
}

void MessageBox(const char* caption, const char* text) {
    Record("MessageBox", std::string(caption ? caption : "") + "|" + (text ? text : ""));
}

void AboutBox(const char* caption, const char* text) {
    Record("AboutBox", std::string(caption) + "|" + text);
}

uint64_t NowMs() {
    return VirtualNowMs();
}

void Sleep(int ms) {
    Record("Sleep", "", ms);
    if (ms > 0) VirtualAdvance(static_cast<uint64_t>(ms));
}

void Yield() {
    VirtualAdvance(1);
}

int ControllerOpen() {
    Record("ControllerOpen");
    if (VirtualShouldFail("ControllerOpen") || !VirtualControllerAttached()) return -1;
    s_controllerOpen = true;
    return 0;
}

void ControllerAcquire() {
    Record("ControllerAcquire");
}

int ControllerPoll() {
    Record("ControllerPoll");
    if (VirtualShouldFail("ControllerPoll")) return -1;
    // A controller unplugged after opening is lost.
    if (!s_controllerOpen || !VirtualControllerAttached()) return -1;
    return 0;
}

void ControllerClose() {
    Record("ControllerClose");
    s_controllerOpen = false;
}

int HttpGet(const char* url, std::string* body, size_t maxBodyBytes) {
    std::string address = url ? url : "";
    Record("HttpGet", address);
    if (VirtualShouldFail("HttpGet")) {
        PlatformSetLastError("%s: request failed on the virtual platform", address.c_str());
        return 0;
    }
    const VirtualHttpHandler& handler = VirtualCurrentHttpHandler();
    // Without a handler there is no network here: the request fails.
    if (!handler) {
        PlatformSetLastError("%s: no network on the virtual platform", address.c_str());
        return 0;
    }
    std::string reply;
    uint64_t durationMs = 0;
    int result = handler(address, &reply, &durationMs);
    VirtualAdvance(durationMs);
    if (result && body) *body = reply.substr(0, maxBodyBytes);
    return result ? 1 : 0;
}

}  // namespace

void VirtualDriverReset() {
    s_controllerOpen = false;
}

const PlatformDriver g_virtualDriver = {
    .name = "virtual",
    .kind = kPlatformVirtual,
    .runWindow = RunWindow,
    .setTimer = SetTimer,
    .killTimer = KillTimer,
    .paintImage = PaintImage,
    .setWindowIcon = SetWindowIcon,
    .messageBox = MessageBox,
    .aboutBox = AboutBox,
    .nowMs = NowMs,
    .sleep = Sleep,
    .yield = Yield,
    .audio = {.open = VirtualAudioOpen,
              .close = VirtualAudioClose,
              .lock = VirtualAudioLock,
              .unlock = VirtualAudioUnlock},
    .controllerOpen = ControllerOpen,
    .controllerAcquire = ControllerAcquire,
    .controllerPoll = ControllerPoll,
    .controllerClose = ControllerClose,
    .httpGet = HttpGet,
    .soundWatcher = &kVirtualSoundWatcher,
};
