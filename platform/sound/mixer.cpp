#include "platform/sound/mixer.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kChunkFrames = 256;
constexpr float kPi = 3.14159265358979f;
// Directly behind the listener a source is this much quieter and heard through a low-pass with
// this cut-off; sources between the side and the back get a share of both.
constexpr float kRearAttenuationDb = 3.0f;
constexpr float kRearCutoffHz = 3000.0f;

float DecibelsToGain(float hundredthsOfDb) {
    return std::pow(10.0f, hundredthsOfDb / 2000.0f);
}

// A voice's next samples as one channel of floats (at the 16-bit scale): a mono sound as it is, a
// stereo one mixed down.
const float* MonoSource(const MixerVoice& voice, uint32_t frames, float* scratch) {
    const int16_t* src = voice.samples + static_cast<size_t>(voice.position) * voice.channels;
    if (voice.channels == 1) {
        for (uint32_t i = 0; i < frames; ++i) scratch[i] = src[i];
    } else {
        for (uint32_t i = 0; i < frames; ++i) scratch[i] = 0.5f * (src[2 * i] + src[2 * i + 1]);
    }
    return scratch;
}

// The one-pole low-pass y += a (x - y) over `frames` samples; returns the last output. Four
// samples are worked out from the output before them at once, so that the chain from output to
// output, which limits the speed, is one step for four samples instead of four.
float LowPass(const float* in, float* out, uint32_t frames, float a, float y) {
    const float c = 1.0f - a, c2 = c * c, c3 = c2 * c, c4 = c2 * c2;
    uint32_t i = 0;
    for (; i + 4 <= frames; i += 4) {
        const float p1 = a * in[i];
        const float p2 = c * p1 + a * in[i + 1];
        const float p3 = c * p2 + a * in[i + 2];
        const float p4 = c * p3 + a * in[i + 3];
        out[i] = c * y + p1;
        out[i + 1] = c2 * y + p2;
        out[i + 2] = c3 * y + p3;
        y = c4 * y + p4;
        out[i + 3] = y;
    }
    for (; i < frames; ++i) {
        y += a * (in[i] - y);
        out[i] = y;
    }
    return y;
}

// Adds `frames` frames (at most one chunk) of the voice, from its position on, to `mix`. The
// loops are kept apart so that the common case, a plain sound, has no test inside its loop.
void AddRun(MixerVoice& voice, float* mix, uint32_t frames) {
    // Samples are 16-bit: their scale goes into the gains.
    const float gl = voice.gainLeft * (1.0f / 32768.0f);
    const float gr = voice.gainRight * (1.0f / 32768.0f);
    const float a = voice.lowPass;
    if (voice.channels == 2 && !voice.mixDown) {
        // A stereo sound keeps its channels: it is never placed in 3D, so never filtered.
        const int16_t* src = voice.samples + static_cast<size_t>(voice.position) * 2;
        for (uint32_t i = 0; i < frames; ++i) {
            mix[2 * i] += src[2 * i] * gl;
            mix[2 * i + 1] += src[2 * i + 1] * gr;
        }
        return;
    }
    float scratch[kChunkFrames];
    float filtered[kChunkFrames];
    const float* src = MonoSource(voice, frames, scratch);
    if (a >= 1.0f) {
        for (uint32_t i = 0; i < frames; ++i) {
            mix[2 * i] += src[i] * gl;
            mix[2 * i + 1] += src[i] * gr;
        }
        return;
    }
    voice.lowPassState = LowPass(src, filtered, frames, a, voice.lowPassState);
    for (uint32_t i = 0; i < frames; ++i) {
        mix[2 * i] += filtered[i] * gl;
        mix[2 * i + 1] += filtered[i] * gr;
    }
}

void AddVoice(MixerVoice& voice, float* mix, int frames) {
    int done = 0;
    while (done < frames && voice.playing) {
        if (voice.frames == 0) {
            voice.playing = false;
            voice.position = 0;
            return;
        }
        const uint32_t run = std::min<uint32_t>(frames - done, voice.frames - voice.position);
        AddRun(voice, mix + 2 * done, run);
        done += static_cast<int>(run);
        voice.position += run;
        if (voice.position >= voice.frames) {
            voice.position = 0;
            if (!voice.looping) voice.playing = false;
        }
    }
}

int16_t ToSample(float value) {
    const float scaled = std::clamp(value * 32768.0f, -32768.0f, 32767.0f);
    return static_cast<int16_t>(std::lrint(scaled));
}

}  // namespace

void MixerRender(MixerVoice* const* voices, int count, int16_t* out, int frames) {
    float mix[kChunkFrames * kMixerOutputChannels];
    for (int start = 0; start < frames; start += kChunkFrames) {
        const int chunk = std::min(kChunkFrames, frames - start);
        std::fill(mix, mix + chunk * kMixerOutputChannels, 0.0f);
        for (int v = 0; v < count; ++v) {
            if (voices[v]->playing) AddVoice(*voices[v], mix, chunk);
        }
        int16_t* dest = out + static_cast<size_t>(start) * kMixerOutputChannels;
        for (int i = 0; i < chunk * kMixerOutputChannels; ++i) dest[i] = ToSample(mix[i]);
    }
}

float MixerVolumeGain(int volume) {
    if (volume <= -10000) return 0.0f;
    return DecibelsToGain(static_cast<float>(std::min(volume, 0)));
}

void MixerPanGains(int pan, float* left, float* right) {
    pan = std::clamp(pan, -10000, 10000);
    *left = 1.0f;
    *right = 1.0f;
    if (pan < 0) *right = pan <= -10000 ? 0.0f : DecibelsToGain(static_cast<float>(pan));
    if (pan > 0) *left = pan >= 10000 ? 0.0f : DecibelsToGain(static_cast<float>(-pan));
}

MixerPlacement MixerPlace3D(float x, float y, float z, float minDistance) {
    const float distance = std::sqrt(x * x + y * y + z * z);
    const float attenuation = distance > minDistance ? minDistance / distance : 1.0f;

    // The azimuth on the horizontal plane: its sine says how far to the side the source is,
    // its cosine whether it is in front (positive) or behind (negative).
    const float horizontal = std::sqrt(x * x + z * z);
    const float side = horizontal > 0 ? std::clamp(x / horizontal, -1.0f, 1.0f) : 0.0f;
    const float rear = horizontal > 0 ? std::max(0.0f, -z / horizontal) : 0.0f;

    const float angle = (side + 1.0f) * kPi / 4.0f;
    const float rearGain = std::pow(10.0f, -kRearAttenuationDb * rear / 20.0f);
    const float fullLowPass = 1.0f - std::exp(-2.0f * kPi * kRearCutoffHz / kMixerRate);

    MixerPlacement placement;
    placement.gainLeft = attenuation * rearGain * std::cos(angle);
    placement.gainRight = attenuation * rearGain * std::sin(angle);
    placement.lowPass = 1.0f - rear * (1.0f - fullLowPass);
    return placement;
}
