// The real device's mixer: one second of output with 50 sounds playing at once (goal: under
// 5 ms, half a percent of one core), and what a play call costs and waits with a device open.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/real/real_audio.h"
#include "platform/soft_audio.h"

namespace {

constexpr int kVoices = 50;
constexpr int kSourceRate = 22050;
constexpr int kOutputRate = 48000;
constexpr int kDeviceFrames = 512;

// A two-second 16-bit mono sound at 22050 Hz, as the game's recordings are.
PlatformBuffer MakeVoice(int index, int flags) {
    PlatformWaveFormat format{1, 1, kSourceRate, kSourceRate * 2, 2, 16};
    const uint32_t bytes = kSourceRate * 2 * 2;
    PlatformBuffer buffer = nullptr;
    SoftAudioCreateBuffer(&format, bytes, flags, kAlgorithmDefault, &buffer);
    void* region1 = nullptr;
    void* region2 = nullptr;
    uint32_t bytes1 = 0, bytes2 = 0;
    SoftAudioBufferLock(buffer, 0, bytes, &region1, &bytes1, &region2, &bytes2);
    int16_t* samples = static_cast<int16_t*>(region1);
    for (uint32_t i = 0; i < bytes1 / 2; ++i) {
        samples[i] =
            static_cast<int16_t>(800 * std::sin(2 * M_PI * (200 + 37 * index) * i / kSourceRate));
    }
    SoftAudioBufferUnlock(buffer, region1, bytes1, region2, bytes2);
    return buffer;
}

void MixOneSecond(benchmark::State& state, bool placed) {
    SoftAudioOpen(&kSoftAudioManualDevice);
    std::vector<PlatformBuffer> voices;
    for (int i = 0; i < kVoices; ++i) {
        if (placed) {
            PlatformBuffer voice = MakeVoice(i, kBufferStatic | kBufferCtrl3D | kBufferCtrlVolume);
            PlatformBuffer3D position = nullptr;
            SoftAudioBufferGet3D(voice, &position);
            SoftAudioBuffer3DSetMinDistance(position, 10.0f);
            SoftAudioBuffer3DSetPosition(position, i % 2 ? -8.0f : 8.0f, 0.0f, -5.0f);
            voices.push_back(voice);
        } else {
            PlatformBuffer voice = MakeVoice(i, kBufferStatic | kBufferCtrlPan | kBufferCtrlVolume);
            SoftAudioBufferSetPan(voice, (i % 3 - 1) * 3000);
            SoftAudioBufferSetVolume(voice, -(i % 8) * 100);
            voices.push_back(voice);
        }
        SoftAudioBufferPlay(voices.back(), kPlayLooping);
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

// A play call with the device running (the dummy driver when no other is chosen): its own cost,
// and the device buffer it may wait for before it is heard.
void BM_PlayCallWithDeviceOpen(benchmark::State& state) {
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    if (RealAudioOpen() != kAudioOk) {
        state.SkipWithError("no audio device");
        return;
    }
    PlatformBuffer cue = MakeVoice(0, kBufferStatic | kBufferCtrlPan | kBufferCtrlVolume);
    for (auto _ : state) {
        SoftAudioBufferSetPosition(cue, 0);
        SoftAudioBufferSetPan(cue, -3000);
        SoftAudioBufferSetVolume(cue, -800);
        SoftAudioBufferPlay(cue, 0);
    }
    state.counters["device_buffer_frames"] = SoftAudioDeviceFrames();
    state.counters["device_buffer_ms"] = 1000.0 * SoftAudioDeviceFrames() / kOutputRate;
    RealAudioClose();
}
BENCHMARK(BM_PlayCallWithDeviceOpen)->Unit(benchmark::kMicrosecond);

}  // namespace
