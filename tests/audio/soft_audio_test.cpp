// The software sound device's life: nothing can be made before a device is open, closing it ends
// every buffer, and the device period a player asks for.
#include "platform/sound/soft_audio.h"

#include <gtest/gtest.h>

namespace {

const PlatformWaveFormat kFormat{1, 1, 22050, 44100, 2, 16};
constexpr int kFlags = kBufferStatic | kBufferCtrlPan | kBufferCtrlVolume;

TEST(SoftAudio, BuffersAndListenersNeedAnOpenDeviceAndEndWithIt) {
    SoftAudioClose();
    PlatformBuffer buffer = nullptr;
    PlatformListener listener = nullptr;
    EXPECT_EQ(PlatformCreateBuffer(&kFormat, 4410, kFlags, kAlgorithmDefault, &buffer),
              kAudioErrNoDevice);
    EXPECT_EQ(PlatformCreateListener(&listener), kAudioErrNoDevice);

    ASSERT_EQ(SoftAudioOpen(&kSoftAudioManualDevice), kAudioOk);
    EXPECT_TRUE(SoftAudioIsOpen());
    EXPECT_EQ(SoftAudioDeviceRate(), 48000);
    ASSERT_EQ(PlatformCreateBuffer(&kFormat, 4410, kFlags, kAlgorithmDefault, &buffer), kAudioOk);
    ASSERT_EQ(PlatformCreateListener(&listener), kAudioOk);
    EXPECT_EQ(PlatformBufferPlay(buffer, kPlayLooping), kAudioOk);

    // The sound was playing; with the device gone its handle is refused.
    SoftAudioClose();
    EXPECT_FALSE(SoftAudioIsOpen());
    uint32_t status = 9;
    EXPECT_LT(PlatformBufferGetStatus(buffer, &status), 0);
    EXPECT_EQ(status, 0u);
    EXPECT_LT(PlatformBufferPlay(buffer, 0), 0);
    EXPECT_EQ(PlatformCreateBuffer(&kFormat, 4410, kFlags, kAlgorithmDefault, &buffer),
              kAudioErrNoDevice);
}

// The device hooks are asked for the period that was set; what the device reports is what counts.
int s_askedPeriod = 0;
int RecordingOpen(SoftAudioRender, int rate, int period, int* gotRate, int* gotPeriod) {
    s_askedPeriod = period;
    *gotRate = rate;
    *gotPeriod = period * 2;
    return kAudioOk;
}
void Nothing() {}
const SoftAudioHooks kRecordingDevice = {
    .open = RecordingOpen, .close = Nothing, .lock = Nothing, .unlock = Nothing};

TEST(SoftAudio, ThePeriodIs512FramesUnlessAPowerOfTwoIsAskedFor) {
    EXPECT_EQ(SoftAudioWantedPeriod(), 512);
    for (int refused : {0, 32, 300, 16384, -256}) EXPECT_EQ(SoftAudioSetPeriod(refused), 0);
    EXPECT_EQ(SoftAudioWantedPeriod(), 512);
    EXPECT_EQ(SoftAudioSetPeriod(256), 1);
    ASSERT_EQ(SoftAudioOpen(&kRecordingDevice), kAudioOk);
    EXPECT_EQ(s_askedPeriod, 256);
    EXPECT_EQ(SoftAudioDeviceFrames(), 512);
    SoftAudioClose();
    SoftAudioSetPeriod(512);
}

// A play from the start, as the game makes one, changes what the mixer reads in one step: the
// device is held once, and the sound it then mixes is at the new pan and volume.
int s_locks = 0;
void CountLock() {
    ++s_locks;
}
const SoftAudioHooks kCountingDevice = {
    .open = RecordingOpen, .close = Nothing, .lock = CountLock, .unlock = Nothing};

TEST(SoftAudio, APlayFromTheStartHoldsTheDeviceOnce) {
    ASSERT_EQ(SoftAudioOpen(&kCountingDevice), kAudioOk);
    const PlatformWaveFormat format{1, 1, 48000, 96000, 2, 16};
    PlatformBuffer buffer = nullptr;
    ASSERT_EQ(PlatformCreateBuffer(&format, 960, kFlags, kAlgorithmDefault, &buffer), kAudioOk);
    void* region = nullptr;
    uint32_t bytes = 0;
    ASSERT_EQ(PlatformBufferLock(buffer, 0, 960, &region, &bytes, nullptr, nullptr), kAudioOk);
    for (uint32_t i = 0; i < bytes / 2; ++i) static_cast<int16_t*>(region)[i] = 16000;
    PlatformBufferUnlock(buffer, region, bytes, nullptr, 0);

    s_locks = 0;
    EXPECT_EQ(PlatformBufferStart(buffer, 0, -3000, -600, 0), kAudioOk);
    EXPECT_EQ(s_locks, 1);
    int16_t out[2 * 16];
    SoftAudioRenderNow(out, 16);
    // Left at the volume's -6 dB, right a further 30 dB down.
    EXPECT_NEAR(out[0], 16000 * 0.501, 20);
    EXPECT_NEAR(out[1], 16000 * 0.501 * 0.0316, 20);
    SoftAudioClose();
}

}  // namespace
