#include "platform/resample.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

std::vector<float> Tone(double frequency, uint32_t rate, uint32_t frames, int channels) {
    std::vector<float> s(static_cast<size_t>(frames) * channels);
    for (uint32_t i = 0; i < frames; ++i) {
        for (int c = 0; c < channels; ++c) {
            s[i * channels + c] =
                static_cast<float>((c ? 0.25 : 0.5) * std::sin(2 * M_PI * frequency * i / rate));
        }
    }
    return s;
}

double Peak(const std::vector<float>& s, int channels, int channel) {
    double peak = 0;
    for (size_t i = channel; i < s.size(); i += channels)
        peak = std::max(peak, double(std::fabs(s[i])));
    return peak;
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
    const std::vector<float> in = Tone(1000, 16000, 32000, 2);
    const std::vector<float> out = ResampleCubic(in.data(), 32000, 2, 16000, 48000);
    ASSERT_EQ(out.size(), 96000u * 2);
    EXPECT_NEAR(RisingZeroCrossings(out, 2), 2000, 1);
    EXPECT_NEAR(20 * std::log10(Peak(out, 2, 0) / 0.5), 0.0, 0.2);
    EXPECT_NEAR(20 * std::log10(Peak(out, 2, 1) / 0.25), 0.0, 0.2);
}

TEST(Resample, OddRatesRoundToTheNearestFrameAndNothingReadsOutsideTheSound) {
    const std::vector<float> in = Tone(440, 22050, 22051, 1);
    const std::vector<float> out = ResampleCubic(in.data(), 22051, 1, 22050, 48000);
    EXPECT_EQ(out.size(), 48002u);  // 22051 * 48000 / 22050 = 48002.2
    const std::vector<float> one = ResampleCubic(in.data(), 1, 1, 100, 48000);
    EXPECT_EQ(one.size(), 480u);
    EXPECT_TRUE(ResampleCubic(in.data(), 0, 1, 100, 48000).empty());
}
