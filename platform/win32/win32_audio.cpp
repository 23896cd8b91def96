#include "platform/win32/win32_audio.h"

#include <cstdio>
#include <cstdlib>

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

// The latency a player asked for in TAPDASH_AUDIO_PERIOD (frames, a power of two from 64 to
// 8192), as on Linux; 0 when none was asked for.
int AskedFrames() {
    const char* setting = std::getenv("TAPDASH_AUDIO_PERIOD");
    if (!setting || !*setting) return 0;
    char* end = nullptr;
    const long frames = std::strtol(setting, &end, 10);
    if (*end != '\0' || frames < 64 || frames > 8192 || (frames & (frames - 1)) != 0) {
        std::fprintf(stderr,
                     "tapdash: TAPDASH_AUDIO_PERIOD=%s ignored (a power of two from 64 to 8192)\n",
                     setting);
        return 0;
    }
    return int(frames);
}

// WASAPI runs at the rate it is asked for (converting where the system must) and at the
// engine's period. Without a device the game still runs, on the render thread's clock, and is
// told so in the start-up's own words; sound begins once a device appears.
int Open(SoftAudioRender render, int wantedRate, int, int* rate, int* period) {
    s_render = render;
    bool hasDevice = false;
    if (WasapiOpen(Render, wantedRate, AskedFrames(), period, &hasDevice) != 0) {
        return kAudioErrNoDevice;
    }
    if (!hasDevice) {
        PlatformReportError("DSound not created");
        Win32MessageBox("Error!", "DSound not created");
        *period = kWasapiLatencyFrames;
    }
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
