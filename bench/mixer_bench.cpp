// The software sound device's mixer: one second of output with 50 sounds playing at once (goal:
// under 5 ms, half a percent of one core), and what a play call costs and waits with a device open.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/sound/soft_audio.h"

namespace {

constexpr int kVoices = 50;
constexpr int kSourceRate = 48000;  // the rate the sound pack is stored at
constexpr int kOutputRate = 48000;
constexpr int kDeviceFrames = 512;

// A two-second 16-bit mono sound at the pack's rate, as the game's recordings are.
PlatformBuffer MakeVoice(int index, int flags) {
    PlatformWaveFormat format{1, 1, kSourceRate, kSourceRate * 2, 2, 16};
    const uint32_t bytes = kSourceRate * 2 * 2;
    PlatformBuffer buffer = nullptr;
    PlatformCreateBuffer(&format, bytes, flags, kAlgorithmDefault, &buffer);
    void* region1 = nullptr;
    void* region2 = nullptr;
    uint32_t bytes1 = 0, bytes2 = 0;
    PlatformBufferLock(buffer, 0, bytes, &region1, &bytes1, &region2, &bytes2);
    int16_t* samples = static_cast<int16_t*>(region1);
    for (uint32_t i = 0; i < bytes1 / 2; ++i) {
        samples[i] =
            static_cast<int16_t>(800 * std::sin(2 * M_PI * (200 + 37 * index) * i / kSourceRate));
    }
    PlatformBufferUnlock(buffer, region1, bytes1, region2, bytes2);
    return buffer;
}

void MixOneSecond(benchmark::State& state, bool placed) {
    SoftAudioOpen(&kSoftAudioManualDevice);
    std::vector<PlatformBuffer> voices;
    for (int i = 0; i < kVoices; ++i) {
        if (placed) {
            PlatformBuffer voice = MakeVoice(i, kBufferStatic | kBufferCtrl3D | kBufferCtrlVolume);
            PlatformBuffer3D position = nullptr;
            PlatformBufferGet3D(voice, &position);
            PlatformBuffer3DSetMinDistance(position, 10.0f);
            PlatformBuffer3DSetPosition(position, i % 2 ? -8.0f : 8.0f, 0.0f, -5.0f);
            voices.push_back(voice);
        } else {
            PlatformBuffer voice = MakeVoice(i, kBufferStatic | kBufferCtrlPan | kBufferCtrlVolume);
            PlatformBufferSetPan(voice, (i % 3 - 1) * 3000);
            PlatformBufferSetVolume(voice, -(i % 8) * 100);
            voices.push_back(voice);
        }
        PlatformBufferPlay(voices.back(), kPlayLooping);
    }
    std::vector<int16_t> out(kDeviceFrames * 2);
    for (auto _ : state) {
        // One second as the device asks for it, a device buffer at a time.
        for (int done = 0; done < kOutputRate; done += kDeviceFrames) {
            SoftAudioRenderNow(out.data(), kDeviceFrames);
        }
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["voices"] = kVoices;
    SoftAudioClose();
}

void BM_MixOneSecondOf50Voices(benchmark::State& state) {
    MixOneSecond(state, false);
}
BENCHMARK(BM_MixOneSecondOf50Voices)->Unit(benchmark::kMillisecond);

void BM_MixOneSecondOf50PlacedVoicesBehind(benchmark::State& state) {
    MixOneSecond(state, true);
}
BENCHMARK(BM_MixOneSecondOf50PlacedVoicesBehind)->Unit(benchmark::kMillisecond);

// A play call as the game makes it (position, pan, volume and play under one lock) with the
// device running (the dummy driver when no other is chosen): its own cost, and the device buffer
// it may wait for before it is heard.
void BM_PlayCallWithDeviceOpen(benchmark::State& state) {
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    PlatformSelectReal();
    if (PlatformAudioOpen() != kAudioOk) {
        state.SkipWithError("no audio device");
        return;
    }
    PlatformBuffer cue = MakeVoice(0, kBufferStatic | kBufferCtrlPan | kBufferCtrlVolume);
    for (auto _ : state) {
        PlatformBufferStart(cue, 0, -3000, -800, 0);
    }
    state.counters["device_buffer_frames"] = SoftAudioDeviceFrames();
    state.counters["device_buffer_ms"] = 1000.0 * SoftAudioDeviceFrames() / kOutputRate;
    PlatformAudioClose();
}
BENCHMARK(BM_PlayCallWithDeviceOpen)->Unit(benchmark::kMicrosecond);

}  // namespace
