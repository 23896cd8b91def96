// Missed periods of the Windows sound output: the default device kept `latency` frames ahead
// while 20 looping sounds are mixed, for `seconds` seconds. A missed period is one at which the
// device had run dry, which a player hears as a click.
//   wasapi_periods.exe <seconds> <latency frames, 0 for the default>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/platform.h"
#include "platform/soft_audio.h"
#include "platform/win32/win32_wasapi.h"

namespace {

constexpr int kRate = 48000;
constexpr int kVoices = 20;

PlatformBuffer MakeVoice(int index) {
    PlatformWaveFormat format{1, 1, kRate, kRate * 2, 2, 16};
    const uint32_t bytes = kRate * 2;
    PlatformBuffer buffer = nullptr;
    PlatformCreateBuffer(&format, bytes, kBufferStatic | kBufferCtrlPan | kBufferCtrlVolume,
                         kAlgorithmDefault, &buffer);
    void *region1 = nullptr, *region2 = nullptr;
    uint32_t bytes1 = 0, bytes2 = 0;
    PlatformBufferLock(buffer, 0, bytes, &region1, &bytes1, &region2, &bytes2);
    auto* samples = static_cast<int16_t*>(region1);
    for (uint32_t i = 0; i < bytes1 / 2; ++i) {
        samples[i] = int16_t(600 * std::sin(2 * M_PI * (200 + 37 * index) * i / kRate));
    }
    PlatformBufferUnlock(buffer, region1, bytes1, region2, bytes2);
    PlatformBufferSetPan(buffer, (index % 3 - 1) * 3000);
    return buffer;
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
    const int latency = argc > 2 ? std::atoi(argv[2]) : 0;
    // The voices live in the software device; the render thread mixes them.
    SoftAudioOpen(&kSoftAudioManualDevice);
    for (int i = 0; i < kVoices; ++i) PlatformBufferPlay(MakeVoice(i), kPlayLooping);
    int period = 0;
    bool device = false;
    if (WasapiOpen(SoftAudioRenderNow, kRate, latency, &period, &device) != 0 || !device) {
        std::printf("no playback device\n");
        return 1;
    }
    Sleep(DWORD(seconds) * 1000);
    const WasapiStats stats = WasapiGetStats();
    WasapiClose();
    std::printf(
        "latency %d frames (%.1f ms), engine period %d frames: %llu periods, %llu missed, "
        "%d device losses, clock let ahead %d frames in %d s\n",
        stats.latencyFrames, 1000.0 * stats.latencyFrames / kRate, stats.periodFrames,
        static_cast<unsigned long long>(stats.wakes), static_cast<unsigned long long>(stats.missed),
        stats.losses, stats.aheadFrames, seconds);
    return 0;
}
