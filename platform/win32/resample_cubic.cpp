#include <algorithm>
#include <numeric>
#include <vector>

#include "platform/resample.h"

// The Windows build's converter: Debian has no cross-built libsoxr, so sounds at another rate
// than the device's 48000 Hz are converted here in one pass with a four-point cubic. Speech and
// cues stay clear, but images of high tones lie only about 33 dB down. The game's own pack is
// stored at 48000 Hz and never comes here.

uint32_t ConvertedFrames(uint32_t frames, uint32_t inRate, uint32_t outRate) {
    if (inRate == 0) return 0;
    return static_cast<uint32_t>((static_cast<uint64_t>(frames) * outRate + inRate / 2) / inRate);
}

namespace {

// The input as floats at the 16-bit scale, with the first frame repeated once before it and the
// last `endPad` times after it, so that the interpolation never needs to clamp. Sounds are loaded
// on the main thread only; the buffer grows to the longest sound and is kept.
std::vector<float> s_padded;
// The cubic's four weights for each phase of the output between two input frames.
std::vector<float> s_weights;

void ReadPadded(const uint8_t* pcm, uint32_t frames, int channels, bool eightBit, uint32_t endPad) {
    const size_t samples = static_cast<size_t>(frames) * channels;
    s_padded.resize((static_cast<size_t>(frames) + 1 + endPad) * channels);
    float* out = s_padded.data() + channels;
    if (eightBit) {
        for (size_t i = 0; i < samples; ++i)
            out[i] = static_cast<float>((static_cast<int>(pcm[i]) - 128) * 256);
    } else {
        for (size_t i = 0; i < samples; ++i) {
            out[i] = static_cast<int16_t>(pcm[2 * i] | (pcm[2 * i + 1] << 8));
        }
    }
    for (int c = 0; c < channels; ++c) s_padded[c] = out[c];
    for (uint32_t f = 0; f < endPad; ++f) {
        for (int c = 0; c < channels; ++c)
            out[samples + f * channels + c] = out[samples - channels + c];
    }
}

// The cubic may overshoot a little near full scale.
int16_t ToSample(float value) {
    value = std::clamp(value, -32768.0f, 32767.0f);
    return static_cast<int16_t>(value < 0 ? value - 0.5f : value + 0.5f);
}

}  // namespace

void ConvertPcm(const uint8_t* pcm, uint32_t frames, int channels, int bitsPerSample,
                uint32_t inRate, uint32_t outRate, int16_t* out) {
    if (frames == 0 || channels <= 0 || inRate == 0 || outRate == 0) return;
    // Rounding the length to the nearest frame may take the last position up to a frame past the
    // end per input frame that one output frame spans; the cubic reads two frames beyond that.
    ReadPadded(pcm, frames, channels, bitsPerSample == 8, 3 + (inRate + outRate - 1) / outRate);
    const uint32_t outFrames = ConvertedFrames(frames, inRate, outRate);
    // Frame n of the sound is frame n + 1 of the padded input.
    const float* in = s_padded.data() + channels;
    if (inRate == outRate) {
        for (size_t i = 0; i < static_cast<size_t>(outFrames) * channels; ++i)
            out[i] = ToSample(in[i]);
        return;
    }
    // The position in input frames, i * inRate / outRate, is a whole frame and a remainder; the
    // remainder is always a multiple of the two rates' greatest common divisor, so the weights of
    // the four points repeat with a period of outRate / divisor and are worked out once.
    const uint32_t divisor = std::gcd(inRate, outRate);
    const uint32_t period = outRate / divisor;
    const uint32_t phaseStep = inRate / divisor;
    s_weights.resize(static_cast<size_t>(period) * 4);
    for (uint32_t phase = 0; phase < period; ++phase) {
        const float t = static_cast<float>(phase) / static_cast<float>(period);
        const float t2 = t * t, t3 = t2 * t;
        float* w = &s_weights[static_cast<size_t>(phase) * 4];
        w[0] = -0.5f * t3 + t2 - 0.5f * t;
        w[1] = 1.5f * t3 - 2.5f * t2 + 1.0f;
        w[2] = -1.5f * t3 + 2.0f * t2 + 0.5f * t;
        w[3] = 0.5f * t3 - 0.5f * t2;
    }
    uint64_t base = 0;
    uint32_t phase = 0;
    for (uint32_t i = 0; i < outFrames; ++i) {
        const float* w = &s_weights[static_cast<size_t>(phase) * 4];
        const float* p = s_padded.data() + base * channels;  // sound frames base - 1 .. base + 2
        for (int c = 0; c < channels; ++c) {
            out[static_cast<size_t>(i) * channels + c] =
                ToSample(w[0] * p[c] + w[1] * p[channels + c] + w[2] * p[2 * channels + c] +
                         w[3] * p[3 * channels + c]);
        }
        phase += phaseStep;
        while (phase >= period) {
            phase -= period;
            ++base;
        }
    }
}
