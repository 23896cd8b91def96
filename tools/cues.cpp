#include "tools/cues.h"

#include <cmath>
#include <cstdint>

const CueLine kCues[] = {
    {"level1\\key.vgz", KeyClick},         {"level1\\blust.vgz", AnswerCue},
    {"level1\\success.vgz", SuccessChime}, {"level1\\err.vgz", ErrorBuzz},
    {"menu\\bgrn.vgz", MenuLoop},          {"level1\\bgrn.vgz", GameLoop},
};
const int kCueLines = sizeof(kCues) / sizeof(kCues[0]);

namespace {
constexpr float kTwoPi = 6.28318530718f;
constexpr float kRate = float(kPackSampleRate);

// Noise as a fixed function of the sample index, so the pack comes out the same on every run.
float NoiseAt(uint32_t i) {
    uint32_t x = i * 2654435761u;
    x ^= x >> 15;
    x *= 2246822519u;
    x ^= x >> 13;
    return float(x >> 8) / float(1u << 23) - 1.0f;
}

float NoteHz(int midiNote) {
    return 440.0f * std::pow(2.0f, (midiNote - 69) / 12.0f);
}

Signal Finished(Signal s, float peakDb, int fadeMs) {
    SetPeak(s, peakDb);
    FadeEnds(s, fadeMs);
    return s;
}

// Adds a note into a loop, wrapping past the end so that the loop has no seam.
void AddWrapped(Signal& loop, float startSec, float lengthSec, float (*voice)(float hz, float t),
                float hz, float gain) {
    int start = int(startSec * kRate);
    int length = int(lengthSec * kRate);
    int n = int(loop.size());
    for (int i = 0; i < length; ++i) loop[(start + i) % n] += gain * voice(hz, i / kRate);
}

// A soft pad note: slow swell and release, two gently detuned partials.
float PadVoice(float hz, float t) {
    float env = std::min(t / 0.6f, 1.0f) * std::exp(-t * 0.5f);
    return env * (std::sin(kTwoPi * hz * t) + 0.3f * std::sin(kTwoPi * hz * 2.003f * t));
}

// A plucked bell note for melodies, a pure tone: an overtone (three times the note, 1 to 2 kHz
// for the menu's arpeggio) lies where the vowels' second formant does, and under "view top ten"
// it was heard as "eleven". The note rings a little longer than a bell with its overtone, so
// the loop is no quieter for its loss.
float BellVoice(float hz, float t) {
    float env = std::min(t / 0.005f, 1.0f) * std::exp(-t * 4.5f);
    return env * std::sin(kTwoPi * hz * t);
}

// A round bass pulse: a pure tone, since overtones in the low voice range (110 to 300 Hz)
// sound like voicing under a quiet "tee" and turn it into "gee".
float BassVoice(float hz, float t) {
    float env = std::min(t / 0.01f, 1.0f) * std::exp(-t * 6.0f);
    return env * std::sin(kTwoPi * hz * t);
}

// A soft brushed tick: decaying noise through a two-pole low-pass below the speech band. It dies
// away quickly: a tail reaching into the vowel after a "t" sounded like voicing, and "tee" was
// heard as "gee".
Signal Tick() {
    constexpr float kTickCutoffHz = 1500.0f;
    Signal tick(SamplesForMs(80));
    const float a = 1.0f - std::exp(-kTwoPi * kTickCutoffHz / kRate);
    float first = 0, second = 0;
    for (size_t i = 0; i < tick.size(); ++i) {
        first += a * (std::exp(-(i / kRate) * 200.0f) * NoiseAt(uint32_t(i)) - first);
        second += a * (first - second);
        tick[i] = second;
    }
    return tick;
}

// Adds a made sound into a loop, wrapping past the end.
void AddWrapped(Signal& loop, float startSec, const Signal& sound, float gain) {
    size_t start = size_t(startSec * kRate);
    for (size_t i = 0; i < sound.size(); ++i) loop[(start + i) % loop.size()] += gain * sound[i];
}
}  // namespace

Signal KeyClick() {
    Signal s(SamplesForMs(25));
    for (size_t i = 0; i < s.size(); ++i) {
        float t = i / kRate;
        s[i] = std::exp(-t / 0.003f) * NoiseAt(uint32_t(i)) +
               0.6f * std::exp(-t / 0.006f) * std::sin(kTwoPi * 2200 * t);
    }
    return Finished(s, kCuePeakDb, 1);
}

Signal AnswerCue() {
    Signal s(SamplesForMs(130));
    float phase = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        float t = i / kRate;
        float hz = 500.0f + 700.0f * t / 0.13f;  // a quick upward sweep
        phase += kTwoPi * hz / kRate;
        s[i] = std::min(t / 0.01f, 1.0f) * std::exp(-t * 12.0f) * std::sin(phase);
    }
    return Finished(s, kCuePeakDb, 5);
}

Signal SuccessChime() {
    Signal s(SamplesForMs(450));
    const float notes[2] = {NoteHz(84), NoteHz(91)};  // C6 then G6
    const float starts[2] = {0.0f, 0.09f};
    for (int n = 0; n < 2; ++n) {
        for (size_t i = size_t(starts[n] * kRate); i < s.size(); ++i) {
            float t = i / kRate - starts[n];
            float env = std::min(t / 0.003f, 1.0f) * std::exp(-t * 9.0f);
            s[i] += env * (std::sin(kTwoPi * notes[n] * t) +
                           0.4f * std::sin(kTwoPi * notes[n] * 2.0f * t) +
                           0.15f * std::sin(kTwoPi * notes[n] * 4.2f * t));
        }
    }
    return Finished(s, kCuePeakDb, 10);
}

Signal ErrorBuzz() {
    Signal s(SamplesForMs(380));
    for (size_t i = 0; i < s.size(); ++i) {
        float t = i / kRate;
        // Two square waves a few hertz apart beat against each other: rough and low.
        float a = std::sin(kTwoPi * 110.0f * t) > 0 ? 1.0f : -1.0f;
        float b = std::sin(kTwoPi * 116.5f * t) > 0 ? 1.0f : -1.0f;
        float env =
            std::min(t / 0.008f, 1.0f) * (t < 0.28f ? 1.0f : std::exp(-(t - 0.28f) * 30.0f));
        s[i] = env * 0.5f * (a + b);
    }
    // Take the edge off the squares so the buzz is rough, not harsh.
    float smooth = 0;
    for (float& v : s) v = smooth += 0.35f * (v - smooth);
    return Finished(s, kCuePeakDb, 10);
}

Signal MenuLoop() {
    // 80 beats a minute, 16 beats: A minor, F, C, G, three seconds each.
    const float beat = 0.75f;
    Signal loop(SamplesForMs(12000), 0.0f);
    const int chords[4][3] = {{57, 60, 64}, {53, 57, 60}, {48, 55, 64}, {55, 59, 62}};
    for (int c = 0; c < 4; ++c) {
        for (int note : chords[c])
            AddWrapped(loop, c * 4 * beat, 4.5f, PadVoice, NoteHz(note), 0.3f);
        // An arpeggio in eighths, an octave up.
        for (int e = 0; e < 8; ++e) {
            int note = chords[c][e % 3] + 12;
            AddWrapped(loop, (c * 4 + e * 0.5f) * beat, 1.0f, BellVoice, NoteHz(note), 0.25f);
        }
    }
    return Finished(loop, kLoopPeakDb, 0);
}

Signal GameLoop() {
    // 120 beats a minute, 16 beats: a pulsing bass line with ticks on the off-beats. The
    // ticks' level and length were chosen by measurement: every character at its first play,
    // over any part of the bar, is still understood; the short tick carries as much sound as
    // the longer one it replaced. The bass stays on its root, below the voices' pitch: a
    // fourth beat an octave up (110 to 147 Hz) turned "tee" into "gee" and "eff" into "ess" on
    // the stretches it fell under.
    const float beat = 0.5f;
    Signal loop(SamplesForMs(8000), 0.0f);
    const int bass[4] = {38, 34, 36, 33};  // D, B flat, C, A
    const Signal tick = Tick();
    for (int bar = 0; bar < 4; ++bar) {
        for (int b = 0; b < 4; ++b) {
            float at = (bar * 4 + b) * beat;
            AddWrapped(loop, at, 0.45f, BassVoice, NoteHz(bass[bar]), 1.0f);
            AddWrapped(loop, at + beat / 2, tick, 0.18f);
        }
    }
    return Finished(loop, kLoopPeakDb, 0);
}
