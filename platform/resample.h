// Rate conversion of a whole sound, done once when the sound is loaded.
#pragma once

#include <cstdint>
#include <vector>

// Converts interleaved float samples of `channels` channels from inRate to outRate with cubic
// (Catmull-Rom) interpolation. The result lasts as long as the input, to the nearest frame.
std::vector<float> ResampleCubic(const float* samples, uint32_t frames, int channels,
                                 uint32_t inRate, uint32_t outRate);
