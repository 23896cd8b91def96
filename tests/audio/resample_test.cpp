#include "platform/sound/resample.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

// Interleaved 16-bit samples of a tone, the right channel (if any) at half the left's level.
std::vector<uint8_t> Tone16(double frequency, uint32_t rate, uint32_t frames, int channels) {
    std::vector<uint8_t> pcm;
    for (uint32_t i = 0; i < frames; ++i) {
        for (int c = 0; c < channels; ++c) {
            const double level = c ? 8000 : 16000;
            const int16_t v = static_cast<int16_t>(
                std::lround(level * std::sin(2 * M_PI * frequency * i / rate)));
            pcm.push_back(static_cast<uint8_t>(v & 0xFF));
            pcm.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
        }
    }
    return pcm;
}

// Converted to the device rate, as floats in -1..1.
std::vector<float> Convert(const std::vector<uint8_t>& pcm, uint32_t frames, int channels, int bits,
                           uint32_t inRate) {
    std::vector<int16_t> out(static_cast<size_t>(ConvertedFrames(frames, inRate, 48000)) *
                             channels);
    ConvertPcm(pcm.data(), frames, channels, bits, inRate, 48000, out.data());
    std::vector<float> scaled;
    for (int16_t v : out) scaled.push_back(v / 32768.0f);
    return scaled;
}

double PeakDb(const std::vector<float>& s, int channels, int channel, double reference) {
    double peak = 0;
    for (size_t i = channel; i < s.size(); i += channels)
        peak = std::max(peak, double(std::fabs(s[i])));
    return 20 * std::log10(peak / reference);
}

// The level of the component at `hz` in one channel, in dB relative to `reference`: a
// Hann-windowed single-frequency transform over the middle half of the sound, away from its ends.
double ComponentDb(const std::vector<float>& s, int channels, double hz, double rate,
                   double reference) {
    const size_t frames = s.size() / channels;
    const size_t first = frames / 4, count = frames / 2;
    double re = 0, im = 0, windowSum = 0;
    for (size_t n = 0; n < count; ++n) {
        const double w = 0.5 - 0.5 * std::cos(2 * M_PI * n / count);
        const double phase = 2 * M_PI * hz * (first + n) / rate;
        re += w * s[(first + n) * channels] * std::cos(phase);
        im -= w * s[(first + n) * channels] * std::sin(phase);
        windowSum += w;
    }
    return 20 * std::log10(2 * std::hypot(re, im) / windowSum / reference);
}

int RisingZeroCrossings(const std::vector<float>& s, int channels) {
    int count = 0;
    for (size_t i = channels; i < s.size(); i += channels) {
        if (s[i - channels] < 0 && s[i] >= 0) ++count;
    }
    return count;
}

}  // namespace

TEST(Resample, SpeechRateSoundKeepsItsLengthPitchAndLevelAtTheDeviceRate) {
    // Two seconds of a 1 kHz tone recorded at 16 kHz, in stereo with a quieter right channel.
    const std::vector<float> out = Convert(Tone16(1000, 16000, 32000, 2), 32000, 2, 16, 16000);
    ASSERT_EQ(out.size(), 96000u * 2);
    EXPECT_NEAR(RisingZeroCrossings(out, 2), 2000, 1);
    EXPECT_NEAR(PeakDb(out, 2, 0, 16000.0 / 32768), 0.0, 0.2);
    EXPECT_NEAR(PeakDb(out, 2, 1, 8000.0 / 32768), 0.0, 0.2);
}

TEST(Resample, EightBitSilenceIsSilentAndTheDeviceRatePassesUnchanged) {
    const std::vector<uint8_t> silence(1000, 0x80);
    for (float v : Convert(silence, 1000, 1, 8, 1000)) ASSERT_EQ(v, 0.0f);
    const std::vector<uint8_t> pcm = Tone16(440, 48000, 480, 1);
    const std::vector<float> same = Convert(pcm, 480, 1, 16, 48000);
    ASSERT_EQ(same.size(), 480u);
    EXPECT_EQ(same[7], static_cast<int16_t>(pcm[14] | (pcm[15] << 8)) / 32768.0f);
}

TEST(Resample, OddRatesRoundToTheNearestFrameAndNothingReadsOutsideTheSound) {
    EXPECT_EQ(ConvertedFrames(22051, 22050, 48000), 48002u);  // 48002.2
    EXPECT_EQ(Convert(Tone16(440, 22050, 22051, 1), 22051, 1, 16, 22050).size(), 48002u);
    EXPECT_EQ(Convert(Tone16(440, 100, 1, 1), 1, 1, 16, 100).size(), 480u);
}

TEST(Resample, HighRatesComeDownToTheDeviceRateWithTheirLevel) {
    const std::vector<float> out = Convert(Tone16(1000, 200000, 200001, 1), 200001, 1, 16, 200000);
    ASSERT_EQ(out.size(), 48000u);
    EXPECT_NEAR(RisingZeroCrossings(out, 1), 1000, 1);
    EXPECT_NEAR(PeakDb(out, 1, 0, 16000.0 / 32768), 0.0, 0.2);
    EXPECT_EQ(Convert(Tone16(1000, 200000, 3, 2), 3, 2, 16, 200000).size(), 2u);
}

TEST(Resample, AToneFromTheCommonRatesLeavesNoAudibleImages) {
    // A 4 kHz tone at 22050 Hz: its images after conversion lie at 22050 - 4000 Hz and (folded
    // back from 22050 + 4000 Hz) 48000 - 26050 Hz. Each stays at least 60 dB below the tone.
    const double level = 16000.0 / 32768;
    std::vector<float> out = Convert(Tone16(4000, 22050, 22050, 1), 22050, 1, 16, 22050);
    EXPECT_NEAR(ComponentDb(out, 1, 4000, 48000, level), 0.0, 0.2);
    EXPECT_LT(ComponentDb(out, 1, 18050, 48000, level), -60.0);
    EXPECT_LT(ComponentDb(out, 1, 21950, 48000, level), -60.0);

    out = Convert(Tone16(3000, 16000, 16000, 2), 16000, 2, 16, 16000);
    EXPECT_NEAR(ComponentDb(out, 2, 3000, 48000, level), 0.0, 0.2);
    EXPECT_LT(ComponentDb(out, 2, 13000, 48000, level), -60.0);
    EXPECT_LT(ComponentDb(out, 2, 19000, 48000, level), -60.0);
}
