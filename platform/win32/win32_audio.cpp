// The Windows backend's sound device: WASAPI (win32_wasapi.cpp) as the open hook of the software
// sound device (platform/sound/soft_audio.h); its close, lock and unlock are WASAPI's own.
#include "platform/win32/win32_audio.h"

#include "platform/win32/win32_backend.h"
#include "platform/win32/win32_wasapi.h"

// WASAPI runs at the rate it is asked for (converting where the system must) and at the
// engine's period, with the latency the player asked for in TAPDASH_AUDIO_PERIOD where it differs
// from the software device's default. Without a device the game still runs, on the render
// thread's clock, and is told so in the start-up's own words; sound begins once a device appears.
int Win32AudioOpen(SoftAudioRender render, int wantedRate, int wantedPeriod, int* rate,
                   int* period) {
    bool hasDevice = false;
    const int asked = wantedPeriod == kSoftAudioDefaultPeriod ? 0 : wantedPeriod;
    if (WasapiOpen(render, wantedRate, asked, period, &hasDevice) != 0) return kAudioErrNoDevice;
    if (!hasDevice) {
        PlatformReportError("DSound not created");
        Win32MessageBox("Error!", "DSound not created");
        *period = kWasapiLatencyFrames;
    }
    *rate = wantedRate;
    return kAudioOk;
}
