// Missed periods of the Windows sound output: the default device kept `latency` frames ahead
// while 20 looping sounds are mixed, for `seconds` seconds. A missed period is one at which the
// device had run dry, which a player hears as a click. With "bare": a render loop of its own
// instead (no mixer, no clock, silence), at the same latency and priority, to tell the game's
// misses from the system's.
//   wasapi_periods.exe <seconds> <latency frames, 0 for the default> [bare]
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/platform.h"
#include "platform/sound/soft_audio.h"
#include "platform/win32/win32_wasapi.h"
// After windows.h, which they need.
#include <audioclient.h>
#include <avrt.h>
#include <mmdeviceapi.h>

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

// The least a WASAPI output does: wait for the device's event, top its buffer up to `latency`
// frames of silence, count the wakes at which it had run dry and those that came later than one
// and a half periods after the one before.
int RunBare(int seconds, int latency) {
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    WasapiNameSoundThread();
    DWORD taskIndex = 0;
    AvSetMmThreadCharacteristicsW(L"Pro Audio", &taskIndex);
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
    IMMDeviceEnumerator* enumerator = nullptr;
    IMMDevice* endpoint = nullptr;
    IAudioClient* client = nullptr;
    IAudioRenderClient* output = nullptr;
    WAVEFORMATEX* mix = nullptr;
    HANDLE wake = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    REFERENCE_TIME period = 0;
    if (FAILED(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL,
                                __uuidof(IMMDeviceEnumerator),
                                reinterpret_cast<void**>(&enumerator))) ||
        FAILED(enumerator->GetDefaultAudioEndpoint(eRender, eConsole, &endpoint)) ||
        FAILED(endpoint->Activate(__uuidof(IAudioClient), CLSCTX_ALL, nullptr,
                                  reinterpret_cast<void**>(&client))) ||
        FAILED(client->GetMixFormat(&mix)) || FAILED(client->GetDevicePeriod(&period, nullptr)) ||
        FAILED(client->Initialize(AUDCLNT_SHAREMODE_SHARED, AUDCLNT_STREAMFLAGS_EVENTCALLBACK,
                                  2 * REFERENCE_TIME(latency) * 10000000 / mix->nSamplesPerSec, 0,
                                  mix, nullptr)) ||
        FAILED(client->SetEventHandle(wake)) ||
        FAILED(
            client->GetService(__uuidof(IAudioRenderClient), reinterpret_cast<void**>(&output)))) {
        std::printf("no playback device\n");
        return 1;
    }
    const uint64_t periodMs100 = uint64_t(period) / 1000;  // tenths of a millisecond
    uint64_t wakes = 0, missed = 0, late = 0, longestGap = 0;
    auto fill = [&] {
        UINT32 padding = 0;
        BYTE* data = nullptr;
        if (FAILED(client->GetCurrentPadding(&padding))) return false;
        if (padding == 0 && wakes > 0) ++missed;
        const UINT32 frames = padding < UINT32(latency) ? UINT32(latency) - padding : 0;
        if (frames == 0) return true;
        if (FAILED(output->GetBuffer(frames, &data))) return false;
        return SUCCEEDED(output->ReleaseBuffer(frames, AUDCLNT_BUFFERFLAGS_SILENT));
    };
    fill();
    client->Start();
    const uint64_t start = Win32NowMs();
    LARGE_INTEGER frequency, last, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&last);
    while (Win32NowMs() - start < uint64_t(seconds) * 1000) {
        if (WaitForSingleObject(wake, 100) != WAIT_OBJECT_0) continue;
        QueryPerformanceCounter(&now);
        const uint64_t gap = uint64_t(now.QuadPart - last.QuadPart) * 10000 / frequency.QuadPart;
        last = now;
        if (gap > longestGap) longestGap = gap;
        if (gap * 2 > 3 * periodMs100) ++late;
        if (!fill()) break;
        ++wakes;
    }
    client->Stop();
    std::printf(
        "bare loop: latency %d frames (%.1f ms) at %lu Hz, engine period %.1f ms: %llu "
        "periods, %llu missed, %llu late wakes (longest gap %.1f ms) in %d s\n",
        latency, 1000.0 * latency / mix->nSamplesPerSec, mix->nSamplesPerSec, period / 10000.0,
        static_cast<unsigned long long>(wakes), static_cast<unsigned long long>(missed),
        static_cast<unsigned long long>(late), longestGap / 10.0, seconds);
    CoTaskMemFree(mix);
    CoUninitialize();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
    const int latency = argc > 2 ? std::atoi(argv[2]) : 0;
    if (argc > 3 && std::strcmp(argv[3], "bare") == 0)
        return RunBare(seconds, latency ? latency : 510);
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
