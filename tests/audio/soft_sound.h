// Sounds for the software sound device, made as the loader makes them: a buffer created for the
// format and filled through lock and unlock.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "platform/platform.h"

constexpr int kPlainFlags = kBufferStatic | kBufferCtrlPan | kBufferCtrlVolume;

inline PlatformWaveFormat Format16(int rate, int channels) {
    PlatformWaveFormat format{};
    format.formatTag = 1;
    format.channels = static_cast<uint16_t>(channels);
    format.samplesPerSec = static_cast<uint32_t>(rate);
    format.blockAlign = static_cast<uint16_t>(2 * channels);
    format.avgBytesPerSec = format.samplesPerSec * format.blockAlign;
    format.bitsPerSample = 16;
    return format;
}

inline PlatformBuffer MakeBuffer(PlatformWaveFormat format, const void* data, uint32_t bytes,
                                 int flags) {
    PlatformBuffer buffer = nullptr;
    EXPECT_EQ(PlatformCreateBuffer(&format, bytes, flags, kAlgorithmDefault, &buffer), kAudioOk);
    void* region1 = nullptr;
    void* region2 = nullptr;
    uint32_t bytes1 = 0, bytes2 = 0;
    EXPECT_EQ(PlatformBufferLock(buffer, 0, bytes, &region1, &bytes1, &region2, &bytes2), kAudioOk);
    std::memcpy(region1, data, bytes1);
    EXPECT_EQ(PlatformBufferUnlock(buffer, region1, bytes1, region2, bytes2), kAudioOk);
    return buffer;
}

// Mono 16-bit samples at `rate`.
inline PlatformBuffer MakeSound(const std::vector<int16_t>& samples, int rate = 48000,
                                int flags = kPlainFlags) {
    return MakeBuffer(Format16(rate, 1), samples.data(), static_cast<uint32_t>(samples.size() * 2),
                      flags);
}

inline std::vector<int16_t> Tone(double seconds, double hz, double amplitude, int rate = 48000) {
    std::vector<int16_t> samples(static_cast<size_t>(seconds * rate));
    for (size_t i = 0; i < samples.size(); ++i) {
        samples[i] = static_cast<int16_t>(amplitude * std::sin(2 * M_PI * hz * i / rate));
    }
    return samples;
}
