// The mixer of the software sound device: a plain function over a set of voices, run on the audio
// thread. It never allocates, locks or waits; whoever changes a voice holds the device lock.
#pragma once

#include <cstdint>

// The mixer's format: 48000 frames a second, each buffer's samples as signed 16-bit integers with
// the buffer's own channel count; the output is signed 16-bit stereo, left first.
constexpr int kMixerRate = 48000;
constexpr int kMixerOutputChannels = 2;

struct MixerVoice {
    const int16_t* samples = nullptr;  // frames x channels, interleaved
    uint32_t frames = 0;
    int channels = 1;       // 1 or 2
    bool mixDown = false;   // a 3D voice: both channels of a stereo sound are heard as one
    uint32_t position = 0;  // the next frame
    bool playing = false;
    bool looping = false;
    float gainLeft = 1.0f;
    float gainRight = 1.0f;
    // One-pole low-pass of a mono or mixed-down voice: 1 lets everything through; smaller is
    // duller.
    float lowPass = 1.0f;
    float lowPassState = 0.0f;
};

// Adds every playing voice into `frames` stereo frames of `out` (overwritten), clamped to full
// scale. A voice played once stops at its end with its position back at 0; a looping voice
// wraps to its start.
void MixerRender(MixerVoice* const* voices, int count, int16_t* out, int frames);

// Volume in hundredths of a decibel to a gain: 10^(volume / 2000); -10000 is silence.
float MixerVolumeGain(int volume);
// The gains of the two channels for a pan in hundredths of a decibel: the far channel is lowered
// by |pan| / 100 dB, the near one stays at full level.
void MixerPanGains(int pan, float* left, float* right);

// Where a 3D source is heard from a listener at the origin facing +z, y up, x to the right:
// no attenuation inside the minimum distance, beyond it minimum distance / distance; the
// azimuth panned with constant power; behind the listener a gentle low-pass and a small
// attenuation.
struct MixerPlacement {
    float gainLeft;
    float gainRight;
    float lowPass;
};
MixerPlacement MixerPlace3D(float x, float y, float z, float minDistance);
