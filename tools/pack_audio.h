// Sample-level helpers shared by every sound of the pack: one format for all files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/sound/mixer.h"

constexpr int kPackSampleRate = 16000;  // 16-bit mono, the rate the speech voices produce
// The rate the files are written at: the game's device rate, so that loading converts nothing.
constexpr int kStoredSampleRate = kMixerRate;

typedef std::vector<float> Signal;  // samples in -1..1 at kPackSampleRate

inline int SamplesForMs(int ms) {
    return ms * kPackSampleRate / 1000;
}
inline int MsForSamples(size_t samples) {
    return int(samples * 1000 / kPackSampleRate);
}

// Linear gain for a level in dB relative to full scale.
float DbToGain(float db);

// Cuts the quiet (below a small share of the peak) before and after the words, keeping
// `marginMs` of it on each side.
Signal TrimToWords(const Signal& speech, int marginMs);
// Scales so that the highest peak lies at `peakDb` (dBFS).
void SetPeak(Signal& signal, float peakDb);
// Short linear fades at both ends so that the sound starts and stops without a click.
void FadeEnds(Signal& signal, int fadeMs);
// Appends silence until the sound lasts `ms` (a longer sound is left as it is).
void PadTo(Signal& signal, int ms);

Signal FromPcm(const std::vector<int16_t>& pcm);
// Rounds to 16-bit samples, clipping at full scale.
std::vector<int16_t> ToPcm(const Signal& signal);

// The sound at kStoredSampleRate, converted by a high-quality linear-phase resampler as if it
// looped (the loops wrap without a seam; every other sound starts and ends in silence anyway),
// with the peak it had. Its length in ms stays as it was, to the nearest sample.
std::vector<int16_t> AtStoredRate(const std::vector<int16_t>& pcm);
