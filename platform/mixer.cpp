#include "platform/mixer.h"

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

// Adds `frames` frames of the voice, from its position on, to `mix`. Stereo voices keep their
// channels apart unless mixed down; the filter is run only when it does something.
void AddRun(MixerVoice& voice, float* mix, uint32_t frames) {
    const float gl = voice.gainLeft;
    const float gr = voice.gainRight;
    const float a = voice.lowPass;
    const bool filtered = a < 1.0f;
    if (voice.channels == 1 || voice.mixDown) {
        const int step = voice.channels;
        const float scale = voice.channels == 1 ? 1.0f : 0.5f;
        const float* src = voice.samples + static_cast<size_t>(voice.position) * step;
        float state = voice.lowPassLeft;
        for (uint32_t i = 0; i < frames; ++i) {
            float s = step == 1 ? src[i] : (src[2 * i] + src[2 * i + 1]) * scale;
            if (filtered) {
                state += a * (s - state);
                s = state;
            }
            mix[2 * i] += s * gl;
            mix[2 * i + 1] += s * gr;
        }
        voice.lowPassLeft = state;
        return;
    }
    const float* src = voice.samples + static_cast<size_t>(voice.position) * 2;
    float stateLeft = voice.lowPassLeft;
    float stateRight = voice.lowPassRight;
    for (uint32_t i = 0; i < frames; ++i) {
        float l = src[2 * i];
        float r = src[2 * i + 1];
        if (filtered) {
            stateLeft += a * (l - stateLeft);
            stateRight += a * (r - stateRight);
            l = stateLeft;
            r = stateRight;
        }
        mix[2 * i] += l * gl;
        mix[2 * i + 1] += r * gr;
    }
    voice.lowPassLeft = stateLeft;
    voice.lowPassRight = stateRight;
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
