// Conversion of a whole sound to the mixer's format, done once when the sound is loaded.
#pragma once

#include <cstdint>

// Frames a sound of `frames` frames at inRate lasts at outRate, to the nearest frame.
uint32_t ConvertedFrames(uint32_t frames, uint32_t inRate, uint32_t outRate);

// Converts PCM samples (8-bit unsigned or 16-bit signed little-endian, `channels` interleaved) at
// inRate into signed 16-bit samples at outRate, with the same channels: a copy at the same rate,
// otherwise band-limited resampling with images at least 60 dB down (libsoxr on Linux, our own
// windowed sinc on Windows and in the browser). `out` holds ConvertedFrames(...) x channels.
void ConvertPcm(const uint8_t* pcm, uint32_t frames, int channels, int bitsPerSample,
                uint32_t inRate, uint32_t outRate, int16_t* out);
