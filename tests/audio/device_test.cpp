// The system's sound device end to end: what the mixer makes reaches the output as 16-bit stereo at
// 48000 Hz, captured by SDL's disk audio driver.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include "platform/sound/soft_audio.h"
#include "tests/support/test_pack.h"

namespace {

TEST(DeviceTest, CaptureHoldsTheCharacterOnTheLeftAtItsLength) {
    const std::string capture = MakeScratchDir() + "capture.raw";
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", capture.c_str(), 1);
    PlatformSelectReal();
    const int opened = PlatformAudioOpen();
    unsetenv("SDL_AUDIODRIVER");
    unsetenv("SDL_DISKAUDIOFILE");
    if (opened != kAudioOk) GTEST_SKIP() << "SDL has no disk audio driver here";
    EXPECT_LE(SoftAudioDeviceFrames(), 512);

    // A quarter of a second of tone at 22050 Hz, 16-bit mono, played from the left.
    PlatformWaveFormat format{1, 1, 22050, 44100, 2, 16};
    const uint32_t bytes = 22050 / 4 * 2;
    PlatformBuffer letter = nullptr;
    ASSERT_EQ(
        PlatformCreateBuffer(&format, bytes, kBufferStatic | kBufferCtrlPan | kBufferCtrlVolume,
                             kAlgorithmDefault, &letter),
        0);
    void* region1 = nullptr;
    void* region2 = nullptr;
    uint32_t bytes1 = 0, bytes2 = 0;
    ASSERT_EQ(PlatformBufferLock(letter, 0, bytes, &region1, &bytes1, &region2, &bytes2), 0);
    for (uint32_t i = 0; i < bytes1 / 2; ++i) {
        static_cast<int16_t*>(region1)[i] =
            static_cast<int16_t>(16000 * std::sin(2 * M_PI * 500 * i / 22050.0));
    }
    PlatformBufferUnlock(letter, region1, bytes1, region2, bytes2);
    PlatformBufferSetPan(letter, -3000);
    PlatformBufferPlay(letter, 0);
    uint32_t status = 1;
    for (int waited = 0; status != 0 && waited < 5000; waited += 5) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        PlatformBufferGetStatus(letter, &status);
    }
    EXPECT_EQ(status, 0u);
    PlatformAudioClose();

    const std::string raw = ReadFileBytes(capture);
    std::vector<int16_t> frames(raw.size() / 2);
    std::memcpy(frames.data(), raw.data(), frames.size() * 2);
    size_t loud = 0;
    double left = 0, right = 0;
    for (size_t i = 0; i + 1 < frames.size(); i += 2) {
        if (std::abs(frames[i]) > 1000) ++loud;
        left += double(frames[i]) * frames[i];
        right += double(frames[i + 1]) * frames[i + 1];
    }
    // About 12000 frames of tone (a 500 Hz sine is above 1000 for 96% of its samples), and the
    // right channel 30 dB down.
    EXPECT_NEAR(static_cast<double>(loud), 12000 * 0.96, 300);
    EXPECT_NEAR(10 * std::log10(left / right), 30.0, 0.2);
}

}  // namespace
