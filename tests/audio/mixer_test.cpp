// The software sound device: what the player hears from it, measured sample by sample on the
// device that plays only when asked to (no sound card needed), and its life: nothing can be made
// before a device is open, closing it ends every buffer, and the device period a player asks for.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "platform/sound/soft_audio.h"
#include "tests/audio/soft_sound.h"

namespace {

constexpr int kRate = 48000;
constexpr int k3DFlags = kBufferStatic | kBufferCtrl3D | kBufferCtrlVolume;

void Replay(PlatformBuffer sound, int pan, int volume, int flags = 0) {
    PlatformBufferSetPosition(sound, 0);
    PlatformBufferSetPan(sound, pan);
    PlatformBufferSetVolume(sound, volume);
    PlatformBufferPlay(sound, flags);
}

struct Output {
    std::vector<int16_t> frames;  // stereo, left first
    double Rms(int channel, size_t from = 0, size_t to = SIZE_MAX) const {
        to = std::min(to, frames.size() / 2);
        double sum = 0;
        for (size_t i = from; i < to; ++i)
            sum += double(frames[2 * i + channel]) * frames[2 * i + channel];
        return std::sqrt(sum / double(to - from));
    }
    // The share of the signal's energy that changes from one sample to the next: lower is duller.
    double Brightness(int channel) const {
        double change = 0, energy = 0;
        for (size_t i = 1; i < frames.size() / 2; ++i) {
            const double s = frames[2 * i + channel], previous = frames[2 * (i - 1) + channel];
            change += (s - previous) * (s - previous);
            energy += s * s;
        }
        return change / energy;
    }
    int16_t Left(size_t i) const { return frames[2 * i]; }
};

Output Render(int frames) {
    Output out;
    out.frames.resize(static_cast<size_t>(frames) * 2);
    SoftAudioRenderNow(out.frames.data(), frames);
    return out;
}

uint32_t Status(PlatformBuffer sound) {
    uint32_t status = 99;
    PlatformBufferGetStatus(sound, &status);
    return status;
}

double Db(double louder, double quieter) {
    return 20 * std::log10(louder / quieter);
}

class MixerTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(SoftAudioOpen(&kSoftAudioManualDevice), kAudioOk); }
    void TearDown() override { SoftAudioClose(); }
};

TEST_F(MixerTest, CharacterOnTheLeftIsThirtyDecibelsQuieterOnTheRight) {
    PlatformBuffer letter = MakeSound(Tone(0.5, 440, 16000));
    Replay(letter, -3000, 0);
    Output left = Render(12000);
    EXPECT_NEAR(Db(left.Rms(0), left.Rms(1)), 30.0, 0.1);
    EXPECT_NEAR(left.Rms(0), 16000 / std::sqrt(2.0), 16000 * 0.01);  // the near side at full level

    Replay(letter, 3000, 0);
    Output right = Render(12000);
    EXPECT_NEAR(Db(right.Rms(1), right.Rms(0)), 30.0, 0.1);

    Replay(letter, 0, 0);
    Output centre = Render(12000);
    EXPECT_NEAR(centre.Rms(0), centre.Rms(1), 0.01);

    Replay(letter, -10000, 0);
    EXPECT_EQ(Render(4800).Rms(1), 0.0);
}

TEST_F(MixerTest, QuietRepeatIsEightDecibelsDownAndARefusedVolumeKeepsIt) {
    PlatformBuffer letter = MakeSound(Tone(0.5, 440, 16000));
    Replay(letter, 0, 0);
    const double full = Render(12000).Rms(0);

    Replay(letter, 0, -800);
    EXPECT_NEAR(Db(full, Render(12000).Rms(0)), 8.0, 0.1);

    // A repeat that would pass full loudness is refused; the sound keeps its last level.
    PlatformBufferSetPosition(letter, 0);
    EXPECT_LT(PlatformBufferSetVolume(letter, 200), 0);
    EXPECT_LT(PlatformBufferSetVolume(letter, -10001), 0);
    EXPECT_LT(PlatformBufferSetPan(letter, 10001), 0);
    PlatformBufferPlay(letter, 0);
    Output again = Render(12000);
    EXPECT_NEAR(Db(full, again.Rms(0)), 8.0, 0.1);
    EXPECT_NEAR(again.Rms(0), again.Rms(1), 0.01);  // the pan stayed centred too

    Replay(letter, 0, -10000);
    EXPECT_EQ(Render(4800).Rms(0), 0.0);
}

TEST_F(MixerTest, StatusFollowsTheSoundToItsEndOrItsStop) {
    PlatformBuffer cue = MakeSound(Tone(0.1, 440, 8000));  // 4800 frames
    EXPECT_EQ(Status(cue), 0u);

    Replay(cue, 0, 0);
    Render(2400);
    EXPECT_EQ(Status(cue), 1u);
    Output tail = Render(4800);
    EXPECT_EQ(Status(cue), 0u);
    EXPECT_GT(tail.Rms(0, 0, 2400), 1000);
    EXPECT_EQ(tail.Rms(0, 2400), 0.0);  // nothing after the end

    Replay(cue, 0, 0, kPlayLooping);
    Output looped = Render(4800 * 5 + 100);
    EXPECT_EQ(Status(cue), 5u);
    EXPECT_GT(looped.Rms(0, 4800 * 5), 1000);

    PlatformBufferStop(cue);
    EXPECT_EQ(Status(cue), 0u);
    EXPECT_EQ(Render(4800).Rms(0), 0.0);
}

TEST_F(MixerTest, ReplayRestartsFromTheBeginningWithoutOverlap) {
    std::vector<int16_t> ramp(9600);
    for (size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<int16_t>(i);
    PlatformBuffer cue = MakeSound(ramp);

    Replay(cue, 0, 0);
    Output first = Render(1000);
    Replay(cue, 0, 0);
    Output second = Render(1000);
    EXPECT_EQ(second.frames, first.frames);  // one voice, from the start again
    EXPECT_EQ(second.Left(999), 999);

    // Stopping keeps the position; a play without rewinding goes on from there.
    PlatformBufferStop(cue);
    PlatformBufferPlay(cue, 0);
    EXPECT_EQ(Render(1).Left(0), 1000);
}

TEST_F(MixerTest, SpeakerTestRearLeftIsHeardLeftAndDullerThanFrontLeft) {
    // A low hum with a bright whistle on top, so that a low-pass shows.
    std::vector<int16_t> sound(24000);
    for (size_t i = 0; i < sound.size(); ++i) {
        sound[i] = static_cast<int16_t>(6000 * std::sin(2 * M_PI * 300 * i / kRate) +
                                        6000 * std::sin(2 * M_PI * 9000 * i / kRate));
    }
    auto heardFrom = [&](float x, float y, float z) {
        PlatformBuffer speaker = MakeSound(sound, kRate, k3DFlags);
        PlatformBuffer3D position = nullptr;
        EXPECT_EQ(PlatformBufferGet3D(speaker, &position), 0);
        PlatformBuffer3DSetMinDistance(position, 10.0f);
        PlatformBuffer3DSetPosition(position, x, y, z);
        Replay(speaker, 5000, 0);  // the pan is refused: a 3D sound is placed, not panned
        Output out = Render(12000);
        PlatformBuffer3DRelease(position);
        PlatformBufferRelease(speaker);
        return out;
    };
    Output frontLeft = heardFrom(-1, 0, 5);
    Output rearLeft = heardFrom(-8, 0, -5);
    EXPECT_GT(frontLeft.Rms(0), frontLeft.Rms(1));
    EXPECT_GT(rearLeft.Rms(0), 3 * rearLeft.Rms(1));
    EXPECT_LT(rearLeft.Brightness(0), 0.8 * frontLeft.Brightness(0));

    // Beyond the minimum distance the level falls with distance: twice as far, 6 dB down.
    Output near = heardFrom(0, 0, 10);
    Output far = heardFrom(0, 0, 20);
    EXPECT_NEAR(Db(near.Rms(0), far.Rms(0)), 6.02, 0.1);
    EXPECT_NEAR(near.Rms(0), heardFrom(0, 0, 3).Rms(0), 1.0);  // inside it, no change
}

TEST_F(MixerTest, LoudSoundsTogetherAreClampedInsteadOfWrappingAround) {
    std::vector<int16_t> loud(4800, 30000);
    PlatformBuffer a = MakeSound(loud);
    PlatformBuffer b = MakeSound(loud);
    Replay(a, 0, 0);
    Replay(b, 0, 0);
    Output out = Render(100);
    EXPECT_EQ(out.Left(50), 32767);
}

TEST_F(MixerTest, SoundsRecordedAtOtherRatesKeepTheirLength) {
    // One second of 8-bit sound at 22050 Hz lasts one second at the device's rate.
    std::vector<uint8_t> bytes(22050);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<uint8_t>(128 + 100 * std::sin(2 * M_PI * 220 * i / 22050));
    PlatformBuffer music = MakeBuffer({1, 1, 22050, 22050, 1, 8}, bytes.data(), 22050, kPlainFlags);
    Replay(music, 0, 0);
    Output played = Render(47500);
    EXPECT_EQ(Status(music), 1u);
    EXPECT_NEAR(played.Rms(0), 100 * 256 / std::sqrt(2.0), 300);
    Render(1000);
    EXPECT_EQ(Status(music), 0u);
}

TEST_F(MixerTest, ASoundStoredAtTheDeviceRateIsHeardSampleForSampleAndAgainAfterAReload) {
    // The game's pack is stored at the device's rate: what the file holds is what is heard.
    const std::vector<int16_t> letter = Tone(0.1, 440, 12000);
    for (int load = 0; load < 2; ++load) {
        PlatformBuffer sound = MakeSound(letter);
        Replay(sound, 0, 0);
        const Output heard = Render(static_cast<int>(letter.size()));
        size_t same = 0;
        while (same < letter.size() && heard.Left(same) == letter[same]) ++same;
        EXPECT_EQ(same, letter.size()) << "load " << load;
        PlatformBufferRelease(sound);
    }
}

TEST_F(MixerTest, BuffersRefuseWhatTheDeviceCannotPlay) {
    PlatformBuffer buffer = nullptr;
    auto refused = [&](PlatformWaveFormat format, uint32_t bytes = 100) {
        return PlatformCreateBuffer(&format, bytes, kPlainFlags, kAlgorithmDefault, &buffer) < 0 &&
               buffer == nullptr;
    };
    PlatformWaveFormat good = Format16(22050, 2);
    EXPECT_TRUE(refused(good, 0));
    PlatformWaveFormat compressed = good;
    compressed.formatTag = 2;
    EXPECT_TRUE(refused(compressed));
    EXPECT_TRUE(refused(PlatformWaveFormat{1, 1, 22050, 66150, 3, 24}));
    EXPECT_TRUE(refused(PlatformWaveFormat{1, 3, 22050, 132300, 6, 16}));
    EXPECT_TRUE(refused(Format16(99, 1)));
    EXPECT_TRUE(refused(Format16(200001, 1)));
    EXPECT_FALSE(refused(Format16(100, 1)));
    EXPECT_FALSE(refused(Format16(200000, 2)));
    // A released sound is gone: its handle is refused from then on.
    PlatformBufferRelease(buffer);
    uint32_t status = 7;
    EXPECT_LT(PlatformBufferGetStatus(buffer, &status), 0);
    EXPECT_LT(PlatformBufferPlay(buffer, 0), 0);
}

TEST(SoftAudio, BuffersAndListenersNeedAnOpenDeviceAndEndWithIt) {
    SoftAudioClose();
    const PlatformWaveFormat format = Format16(22050, 1);
    PlatformBuffer buffer = nullptr;
    PlatformListener listener = nullptr;
    EXPECT_EQ(PlatformCreateBuffer(&format, 4410, kPlainFlags, kAlgorithmDefault, &buffer),
              kAudioErrNoDevice);
    EXPECT_EQ(PlatformCreateListener(&listener), kAudioErrNoDevice);

    ASSERT_EQ(SoftAudioOpen(&kSoftAudioManualDevice), kAudioOk);
    EXPECT_TRUE(SoftAudioIsOpen());
    EXPECT_EQ(SoftAudioDeviceRate(), kRate);
    ASSERT_EQ(PlatformCreateBuffer(&format, 4410, kPlainFlags, kAlgorithmDefault, &buffer),
              kAudioOk);
    ASSERT_EQ(PlatformCreateListener(&listener), kAudioOk);
    EXPECT_EQ(PlatformBufferPlay(buffer, kPlayLooping), kAudioOk);

    // The sound was playing; with the device gone its handle is refused.
    SoftAudioClose();
    EXPECT_FALSE(SoftAudioIsOpen());
    uint32_t status = 9;
    EXPECT_LT(PlatformBufferGetStatus(buffer, &status), 0);
    EXPECT_EQ(status, 0u);
    EXPECT_LT(PlatformBufferPlay(buffer, 0), 0);
    EXPECT_EQ(PlatformCreateBuffer(&format, 4410, kPlainFlags, kAlgorithmDefault, &buffer),
              kAudioErrNoDevice);
}

// The device hooks are asked for the period that was set; what the device reports is what counts.
int s_askedPeriod = 0;
int s_locks = 0;
int RecordingOpen(SoftAudioRender, int rate, int period, int* gotRate, int* gotPeriod) {
    s_askedPeriod = period;
    *gotRate = rate;
    *gotPeriod = period * 2;
    return kAudioOk;
}
void CountLock() {
    ++s_locks;
}
void Nothing() {}
const SoftAudioHooks kRecordingDevice = {
    .open = RecordingOpen, .close = Nothing, .lock = CountLock, .unlock = Nothing};

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
TEST(SoftAudio, APlayFromTheStartHoldsTheDeviceOnce) {
    ASSERT_EQ(SoftAudioOpen(&kRecordingDevice), kAudioOk);
    PlatformBuffer buffer = MakeSound(std::vector<int16_t>(480, 16000));
    s_locks = 0;
    EXPECT_EQ(PlatformBufferStart(buffer, 0, -3000, -600, 0), kAudioOk);
    EXPECT_EQ(s_locks, 1);
    // Left at the volume's -6 dB, right a further 30 dB down.
    Output out = Render(16);
    EXPECT_NEAR(out.Left(0), 16000 * 0.501, 20);
    EXPECT_NEAR(out.frames[1], 16000 * 0.501 * 0.0316, 20);
    SoftAudioClose();
}

}  // namespace
