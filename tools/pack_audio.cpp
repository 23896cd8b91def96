#include "tools/pack_audio.h"

#include <soxr.h>

#include <algorithm>
#include <cmath>

namespace {
constexpr float kSilenceShareOfPeak = 0.02f;  // below 2% of the peak counts as silence
// Samples of the other end put before and after a sound while it is resampled: longer than the
// resampler's filter reaches.
constexpr size_t kWrapSamples = 4096;
}  // namespace

float DbToGain(float db) {
    return std::pow(10.0f, db / 20.0f);
}

static float Peak(const Signal& signal) {
    float peak = 0;
    for (float s : signal) peak = std::max(peak, std::fabs(s));
    return peak;
}

Signal TrimToWords(const Signal& speech, int marginMs) {
    float threshold = Peak(speech) * kSilenceShareOfPeak;
    size_t first = 0;
    while (first < speech.size() && std::fabs(speech[first]) <= threshold) ++first;
    size_t end = speech.size();
    while (end > first && std::fabs(speech[end - 1]) <= threshold) --end;
    if (first >= end) return {};
    size_t margin = SamplesForMs(marginMs);
    first = first > margin ? first - margin : 0;
    end = std::min(speech.size(), end + margin);
    return Signal(speech.begin() + first, speech.begin() + end);
}

void SetPeak(Signal& signal, float peakDb) {
    float peak = Peak(signal);
    if (peak <= 0) return;
    float gain = DbToGain(peakDb) / peak;
    for (float& s : signal) s *= gain;
}

void FadeEnds(Signal& signal, int fadeMs) {
    size_t fade = std::min(size_t(SamplesForMs(fadeMs)), signal.size() / 2);
    for (size_t i = 0; i < fade; ++i) {
        float g = float(i) / float(fade);
        signal[i] *= g;
        signal[signal.size() - 1 - i] *= g;
    }
}

void PadTo(Signal& signal, int ms) {
    size_t want = SamplesForMs(ms);
    if (signal.size() < want) signal.resize(want, 0.0f);
}

Signal FromPcm(const std::vector<int16_t>& pcm) {
    Signal signal(pcm.size());
    for (size_t i = 0; i < pcm.size(); ++i) signal[i] = pcm[i] / 32768.0f;
    return signal;
}

std::vector<int16_t> ToPcm(const Signal& signal) {
    std::vector<int16_t> pcm(signal.size());
    for (size_t i = 0; i < signal.size(); ++i) {
        float v = std::round(signal[i] * 32767.0f);
        pcm[i] = int16_t(std::clamp(v, -32768.0f, 32767.0f));
    }
    return pcm;
}

std::vector<int16_t> AtStoredRate(const std::vector<int16_t>& pcm) {
    if (pcm.empty()) return {};
    const size_t n = pcm.size();
    Signal wrapped(n + 2 * kWrapSamples);
    for (size_t i = 0; i < wrapped.size(); ++i)
        wrapped[i] = pcm[(i + n - kWrapSamples % n) % n] / 32768.0f;

    const double ratio = double(kStoredSampleRate) / kPackSampleRate;
    // Room beyond the rounded length, or the resampler stops short.
    Signal resampled(size_t(std::lround(wrapped.size() * ratio)) + 64);
    const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
    const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_VHQ | SOXR_LINEAR_PHASE, 0);
    const soxr_runtime_spec_t runtime = soxr_runtime_spec(1);  // one thread: the same bytes
    size_t used = 0, made = 0;
    if (soxr_oneshot(kPackSampleRate, kStoredSampleRate, 1, wrapped.data(), wrapped.size(), &used,
                     resampled.data(), resampled.size(), &made, &io, &quality, &runtime))
        return {};

    const size_t first = size_t(std::lround(kWrapSamples * ratio));
    const size_t length = size_t(std::lround(n * ratio));
    if (first + length > made) return {};
    Signal out(resampled.begin() + first, resampled.begin() + first + length);
    // The peaks between the original samples lie a little higher or lower than any of them.
    const float wanted = Peak(FromPcm(pcm));
    const float peak = Peak(out);
    if (peak > 0)
        for (float& s : out) s *= wanted / peak;
    std::vector<int16_t> samples(length);
    for (size_t i = 0; i < length; ++i) {
        float v = std::round(out[i] * 32768.0f);
        samples[i] = int16_t(std::clamp(v, -32768.0f, 32767.0f));
    }
    return samples;
}
