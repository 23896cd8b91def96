// The Windows backend's sound device: WASAPI (win32_wasapi.cpp) as the open hook of the software
// sound device (platform/soft_audio.h); its close, lock and unlock are WASAPI's own.
#include "platform/win32/win32_audio.h"

#include "platform/win32/win32_wasapi.h"

// WASAPI runs at the rate it is asked for (converting where the system must) and at the
// smallest period the device allows, whatever period the software device would like.
int Win32AudioOpen(SoftAudioRender render, int wantedRate, int, int* rate, int* period) {
    if (WasapiOpen(render, wantedRate, period) != 0) return kAudioErrNoDevice;
    *rate = wantedRate;
    return kAudioOk;
}
