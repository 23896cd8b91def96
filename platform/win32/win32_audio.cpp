#include "platform/win32/win32_audio.h"

#include "platform/soft_audio.h"
#include "platform/trace.h"
#include "platform/win32/win32_wasapi.h"

namespace {

SoftAudioRender s_render = nullptr;

void Render(int16_t* out, int frames) {
    const uint64_t start = PlatformTraceOn() ? PlatformTraceNow() : 0;
    s_render(out, frames);
    if (start) PlatformTraceHeard(start);
}

// WASAPI runs at the rate it is asked for (converting where the system must) and at the
// smallest period the device allows, whatever period the software device would like.
int Open(SoftAudioRender render, int wantedRate, int, int* rate, int* period) {
    s_render = render;
    if (WasapiOpen(Render, wantedRate, period) != 0) return kAudioErrNoDevice;
    *rate = wantedRate;
    return kAudioOk;
}

const SoftAudioHooks kWasapiDevice = {
    .open = Open,
    .close = WasapiClose,
    .lock = WasapiLock,
    .unlock = WasapiUnlock,
};

}  // namespace

int Win32AudioOpen() {
    return SoftAudioOpen(&kWasapiDevice);
}

void Win32AudioClose() {
    SoftAudioClose();
}
