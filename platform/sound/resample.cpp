#include "platform/sound/resample.h"

#include <soxr.h>

#include <algorithm>
#include <vector>

// Sounds at another rate than the device's are converted once, when they are loaded, by a
// well-kept high-quality resampler: linear phase, images and aliases far below anything heard.
// The game's own pack is stored at the device rate and never comes here.

uint32_t ConvertedFrames(uint32_t frames, uint32_t inRate, uint32_t outRate) {
    if (inRate == 0) return 0;
    return static_cast<uint32_t>((static_cast<uint64_t>(frames) * outRate + inRate / 2) / inRate);
}

namespace {

// The input as floats in -1..1. Sounds are loaded on the main thread only; the buffer grows to
// the longest sound and is kept.
std::vector<float> s_input;
std::vector<int16_t> s_output;
constexpr size_t kOutputSlack = 64;  // frames

void ReadFloats(const uint8_t* pcm, size_t samples, bool eightBit) {
    s_input.resize(samples);
    if (eightBit) {
        for (size_t i = 0; i < samples; ++i) s_input[i] = (static_cast<int>(pcm[i]) - 128) / 128.0f;
    } else {
        for (size_t i = 0; i < samples; ++i)
            s_input[i] = static_cast<int16_t>(pcm[2 * i] | (pcm[2 * i + 1] << 8)) / 32768.0f;
    }
}

}  // namespace

void ConvertPcm(const uint8_t* pcm, uint32_t frames, int channels, int bitsPerSample,
                uint32_t inRate, uint32_t outRate, int16_t* out) {
    if (frames == 0 || channels <= 0 || inRate == 0 || outRate == 0) return;
    const size_t outSamples =
        static_cast<size_t>(ConvertedFrames(frames, inRate, outRate)) * channels;
    const size_t inSamples = static_cast<size_t>(frames) * channels;
    if (inRate == outRate) {
        if (bitsPerSample == 8) {
            for (size_t i = 0; i < inSamples; ++i)
                out[i] = static_cast<int16_t>((pcm[i] - 128) * 256);
        } else {
            for (size_t i = 0; i < inSamples; ++i)
                out[i] = static_cast<int16_t>(pcm[2 * i] | (pcm[2 * i + 1] << 8));
        }
        return;
    }
    ReadFloats(pcm, inSamples, bitsPerSample == 8);
    soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_INT16_I);
    io.flags |= SOXR_NO_DITHER;  // the same sound always gives the same samples
    const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_HQ | SOXR_LINEAR_PHASE, 0);
    const soxr_runtime_spec_t runtime = soxr_runtime_spec(1);
    // The resampler stops short when its output has no room beyond the rounded length.
    const size_t outFrames = outSamples / channels;
    s_output.resize((outFrames + kOutputSlack) * channels);
    size_t used = 0, made = 0;
    if (soxr_oneshot(inRate, outRate, static_cast<unsigned>(channels), s_input.data(), frames,
                     &used, s_output.data(), outFrames + kOutputSlack, &made, &io, &quality,
                     &runtime)) {
        made = 0;
    }
    const size_t kept = std::min(made, outFrames) * channels;
    std::copy(s_output.begin(), s_output.begin() + kept, out);
    // The last frame may fall just beyond what the resampler gives for the rounded length.
    std::fill(out + kept, out + outSamples, int16_t{0});
}
