#include <algorithm>
#include <cmath>
#include <cstring>
#include <numeric>
#include <vector>

#include "platform/sound/resample.h"

// The converter of the Windows and browser builds, where there is no libsoxr: a windowed-sinc
// low-pass (Kaiser window) applied in polyphase form, in one pass over the whole sound. Its pass
// band reaches 43% of the lower of the two rates and its stop band starts at half of it, 70 dB
// down by design, so speech made at 16000 Hz keeps everything up to 6.9 kHz and every image of
// it lies far below anything heard. Linear phase: the converted sound is not shifted in time.

uint32_t ConvertedFrames(uint32_t frames, uint32_t inRate, uint32_t outRate) {
    if (inRate == 0) return 0;
    return static_cast<uint32_t>((static_cast<uint64_t>(frames) * outRate + inRate / 2) / inRate);
}

namespace {

constexpr double kPassEdge = 0.43;  // of the lower rate
constexpr double kStopEdge = 0.50;
constexpr double kAttenuationDb = 70.0;
// Rate pairs with more phases than this (22051 Hz, say) take the nearest of this many: the
// position is then off by at most 1/8192 of an input frame, which keeps errors below -68 dB.
constexpr uint32_t kMostPhases = 4096;

// Sounds are loaded on the main thread only; the buffers grow to the longest sound and are kept,
// and the filter is kept for the last pair of rates.
std::vector<float> s_channel;  // one channel of the sound, with silence on both sides
std::vector<float> s_filter;   // s_phases rows of s_taps weights
uint32_t s_filterIn = 0, s_filterOut = 0, s_phases = 0, s_taps = 0;

double BesselI0(double x) {
    double sum = 1, term = 1;
    for (int k = 1; k < 50 && term > 1e-12 * sum; ++k) {
        term *= (x / (2 * k)) * (x / (2 * k));
        sum += term;
    }
    return sum;
}

// The weights of input frame base - taps / 2 + 1 + k for an output at base + phase / phases.
void MakeFilter(uint32_t inRate, uint32_t outRate, uint32_t phases) {
    if (s_filterIn == inRate && s_filterOut == outRate && !s_filter.empty()) return;
    // Frequencies in cycles per input frame.
    const double lower = std::min(1.0, static_cast<double>(outRate) / inRate);
    const double cutoff = 0.5 * (kPassEdge + kStopEdge) * lower;
    const double transition = (kStopEdge - kPassEdge) * lower;
    const double beta = 0.1102 * (kAttenuationDb - 8.7);
    const double length = (kAttenuationDb - 8) / (2.285 * 2 * M_PI * transition);
    // A multiple of four, for the four running sums of ConvertPcm.
    const uint32_t taps = 4 * static_cast<uint32_t>(std::ceil(length / 4));
    const double half = taps / 2.0;
    s_filter.assign(static_cast<size_t>(phases) * taps, 0.0f);
    std::vector<double> row(taps);
    for (uint32_t p = 0; p < phases; ++p) {
        double sum = 0;
        for (uint32_t k = 0; k < taps; ++k) {
            const double x = static_cast<double>(k) - (half - 1) - static_cast<double>(p) / phases;
            const double r = x / half;
            const double window = r * r < 1 ? BesselI0(beta * std::sqrt(1 - r * r)) : 0.0;
            const double t = 2 * cutoff * x;
            const double sinc = t == 0 ? 1.0 : std::sin(M_PI * t) / (M_PI * t);
            row[k] = 2 * cutoff * sinc * window;
            sum += row[k];
        }
        // Each phase passes a constant level exactly.
        for (uint32_t k = 0; k < taps; ++k)
            s_filter[static_cast<size_t>(p) * taps + k] = static_cast<float>(row[k] / sum);
    }
    s_filterIn = inRate;
    s_filterOut = outRate;
    s_phases = phases;
    s_taps = taps;
}

float Sample(const uint8_t* pcm, size_t i, bool eightBit) {
    if (eightBit) return static_cast<float>((static_cast<int>(pcm[i]) - 128) * 256);
    return static_cast<int16_t>(pcm[2 * i] | (pcm[2 * i + 1] << 8));
}

// Four running sums, which the compiler keeps in one vector register where there is one.
typedef float Four __attribute__((vector_size(16)));
Four LoadFour(const float* p) {
    Four v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

int16_t ToSample(float value) {
    value = std::clamp(value, -32768.0f, 32767.0f);
    return static_cast<int16_t>(value < 0 ? value - 0.5f : value + 0.5f);
}

}  // namespace

void ConvertPcm(const uint8_t* pcm, uint32_t frames, int channels, int bitsPerSample,
                uint32_t inRate, uint32_t outRate, int16_t* out) {
    if (frames == 0 || channels <= 0 || inRate == 0 || outRate == 0) return;
    const bool eightBit = bitsPerSample == 8;
    const uint32_t outFrames = ConvertedFrames(frames, inRate, outRate);
    if (inRate == outRate) {
        for (size_t i = 0; i < static_cast<size_t>(outFrames) * channels; ++i)
            out[i] = ToSample(Sample(pcm, i, eightBit));
        return;
    }
    // Output frame i lies at input position i * step / period: a whole frame and a remainder.
    const uint32_t divisor = std::gcd(inRate, outRate);
    const uint64_t period = outRate / divisor, step = inRate / divisor;
    const uint64_t wholeStep = step / period, partStep = step % period;
    const uint32_t phases = static_cast<uint32_t>(std::min<uint64_t>(period, kMostPhases));
    MakeFilter(inRate, outRate, phases);
    const uint32_t taps = s_taps;
    // Silence before the sound for the first taps, and after it for the last output's, which
    // rounding may take up to one output's span past the last frame.
    const size_t before = taps / 2, after = taps / 2 + 2 + (inRate + outRate - 1) / outRate;
    s_channel.resize(before + frames + after);
    for (int c = 0; c < channels; ++c) {
        std::fill(s_channel.begin(), s_channel.begin() + before, 0.0f);
        for (uint32_t f = 0; f < frames; ++f)
            s_channel[before + f] = Sample(pcm, static_cast<size_t>(f) * channels + c, eightBit);
        std::fill(s_channel.begin() + before + frames, s_channel.end(), 0.0f);
        uint64_t base = 0, remainder = 0;
        for (uint32_t i = 0; i < outFrames; ++i) {
            uint64_t frame = base, phase = remainder;
            if (phases != period) {
                phase = (remainder * phases + period / 2) / period;
                if (phase == phases) {
                    phase = 0;
                    ++frame;
                }
            }
            base += wholeStep;
            remainder += partStep;
            if (remainder >= period) {
                remainder -= period;
                ++base;
            }
            // Frames base - taps / 2 + 1 .. base + taps / 2 of the sound.
            const float* x = s_channel.data() + before + frame - (taps / 2 - 1);
            const float* w = s_filter.data() + phase * taps;
            Four sum = {0, 0, 0, 0};
            for (uint32_t k = 0; k < taps; k += 4) sum += LoadFour(w + k) * LoadFour(x + k);
            out[static_cast<size_t>(i) * channels + c] =
                ToSample((sum[0] + sum[1]) + (sum[2] + sum[3]));
        }
    }
}
