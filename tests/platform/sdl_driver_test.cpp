// The SDL backend's table, driven through platform.h as the game drives it: a sound played
// from the left at a lowered volume reaches the device (SDL's disk driver, captured to a file,
// 16-bit stereo at 48000 Hz) with that volume, that pan and its length, so an entry filled with
// the wrong function shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/game_app.h"
#include "audio/sound.h"
#include "platform/driver.h"
#include "platform/platform.h"
#include "platform/sound/soft_audio.h"
#include "tests/audio/soft_sound.h"
#include "tests/support/test_pack.h"

namespace {

constexpr int kRate = 22050;  // a rate of the sound's own, not the device's

// Opens the SDL device with its output captured to `capture`; false when SDL has no disk driver.
bool OpenCapturedDevice(const std::string& capture) {
    PlatformSelectReal();
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", capture.c_str(), 1);
    const int opened = PlatformAudioOpen();
    unsetenv("SDL_AUDIODRIVER");
    unsetenv("SDL_DISKAUDIOFILE");
    return opened == kAudioOk;
}

// Waits for the sound to end, as PlaySoundAndWait does.
uint32_t WaitForEnd(PlatformBuffer sound) {
    uint32_t status = kStatusPlaying;
    while (status == kStatusPlaying) {
        PlatformYield();
        if (PlatformBufferGetStatus(sound, &status) < 0) break;
    }
    return status;
}

TEST(SdlDriver, ACharacterOnTheLeftAtMinus8DbIsHeardSoThroughTheTable) {
    const std::string capture = MakeScratchDir() + "capture.raw";
    if (!OpenCapturedDevice(capture)) GTEST_SKIP() << "SDL has no disk audio driver here";

    PlatformBuffer letter = MakeSound(Tone(0.25, 500, 16000, kRate), kRate);
    EXPECT_EQ(PlatformBufferSetPosition(letter, 0), kAudioOk);
    EXPECT_EQ(PlatformBufferSetPan(letter, -3000), kAudioOk);
    EXPECT_EQ(PlatformBufferSetVolume(letter, -800), kAudioOk);
    EXPECT_EQ(PlatformBufferPlay(letter, 0), kAudioOk);
    EXPECT_EQ(WaitForEnd(letter), 0u);

    // A looping sound reports playing and looping until it is stopped (silent: the capture is
    // the first play's alone).
    PlatformBufferSetVolume(letter, -10000);
    EXPECT_EQ(PlatformBufferPlay(letter, kPlayLooping), kAudioOk);
    uint32_t status = 0;
    PlatformBufferGetStatus(letter, &status);
    EXPECT_EQ(status, static_cast<uint32_t>(kStatusPlaying | kStatusLooping));
    EXPECT_EQ(PlatformBufferStop(letter), kAudioOk);
    PlatformBufferGetStatus(letter, &status);
    EXPECT_EQ(status, 0u);
    PlatformBufferRelease(letter);
    PlatformAudioClose();
    EXPECT_LE(SoftAudioDeviceFrames(), 512);

    const std::string raw = ReadFileBytes(capture);
    std::vector<int16_t> frames(raw.size() / 2);
    std::memcpy(frames.data(), raw.data(), frames.size() * 2);
    int left = 0, right = 0;
    size_t loud = 0;
    for (size_t i = 0; i + 1 < frames.size(); i += 2) {
        left = std::max(left, std::abs(static_cast<int>(frames[i])));
        right = std::max(right, std::abs(static_cast<int>(frames[i + 1])));
        loud += std::abs(frames[i]) > 1000;
    }
    ASSERT_GT(right, 0);
    // A quarter of a second at the device's 48000 Hz: a 500 Hz sine at -8 dB of 16000 is above
    // 1000 for 90% of its samples.
    EXPECT_NEAR(static_cast<double>(loud), 12000 * 0.90, 300);
    // The near channel at the volume's -8 dB, the far one a further 30 dB down.
    EXPECT_NEAR(20 * std::log10(left / 16000.0), -8.0, 0.3);
    EXPECT_NEAR(20 * std::log10(static_cast<double>(left) / right), 30.0, 0.3);
}

// A player whose sound card keeps up asks for a shorter period in the environment; a setting
// that is not a period leaves the default.
TEST(SdlDriver, TheDevicePeriodComesFromTheEnvironment) {
    PlatformSelectReal();
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    setenv("TAPDASH_AUDIO_PERIOD", "fast", 1);
    ASSERT_EQ(PlatformAudioOpen(), kAudioOk);
    EXPECT_EQ(SoftAudioDeviceFrames(), 512);
    PlatformAudioClose();
    setenv("TAPDASH_AUDIO_PERIOD", "256", 1);
    ASSERT_EQ(PlatformAudioOpen(), kAudioOk);
    EXPECT_EQ(SoftAudioDeviceFrames(), 256);
    PlatformAudioClose();
    unsetenv("TAPDASH_AUDIO_PERIOD");
    unsetenv("SDL_AUDIODRIVER");
    SoftAudioSetPeriod(512);
}

// No sound device: the game's loads give empty sounds, so its waits end at once and the program
// can always be closed.
TEST(SdlDriver, WithNoDeviceOpenBuffersAndListenersAreRefused) {
    PlatformSelectReal();
    setenv("SDL_AUDIODRIVER", "bogus", 1);
    const int opened = PlatformAudioOpen();
    unsetenv("SDL_AUDIODRIVER");
    EXPECT_EQ(opened, kAudioErrNoDevice);
    // SDL's reason is kept for the report.
    EXPECT_NE(std::string(PlatformLastError()).find("bogus"), std::string::npos)
        << PlatformLastError();

    PlatformWaveFormat format{1, 1, 22050, 44100, 2, 16};
    PlatformBuffer buffer = reinterpret_cast<PlatformBuffer>(1);
    EXPECT_EQ(PlatformCreateBuffer(&format, 4410, kBufferStatic | kBufferCtrlVolume,
                                   kAlgorithmDefault, &buffer),
              kAudioErrNoDevice);
    EXPECT_EQ(buffer, nullptr);
    PlatformListener listener = reinterpret_cast<PlatformListener>(1);
    EXPECT_EQ(PlatformCreateListener(&listener), kAudioErrNoDevice);
    EXPECT_EQ(listener, nullptr);

    const std::string savedDir = g_programDir;
    g_programDir = MakeScratchDir();
    WriteTestSound(g_programDir + "cue.vgz", 200);
    ASSERT_EQ(LoadSound("cue.vgz"), nullptr);
    PlaySoundAndWait(LoadSound("cue.vgz"), 0, 0);  // returns at once
    g_programDir = savedDir;
}

}  // namespace
