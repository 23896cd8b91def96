#include "tools/tone_pack.h"

#include <cmath>
#include <cstdio>

#include "tools/pack_audio.h"
#include "tools/script.h"

namespace {
constexpr int kPhraseToneMs = 600;
constexpr float kToneDb = -6.0f;
constexpr float kLoopToneDb = -18.0f;  // as quiet as the real loops
constexpr int kToneFadeMs = 3;

// The cues and loops keep the lengths of the real ones; loops last whole seconds, so that their
// whole-hertz tones wrap around without a seam.
const struct {
    const char* file;
    int lengthMs;
    bool loop;
} kToneCues[] = {
    {"level1\\key.vgz", 30, false},      {"level1\\blust.vgz", 130, false},
    {"level1\\success.vgz", 450, false}, {"level1\\err.vgz", 380, false},
    {"menu\\bgrn.vgz", 12000, true},     {"level1\\bgrn.vgz", 8000, true},
};

ToneSpec SpecFor(const std::string& file, int frequencyHz) {
    for (const auto& cue : kToneCues)
        if (SameFileName(cue.file, file))
            return {file, frequencyHz, cue.lengthMs, cue.loop ? kLoopToneDb : kToneDb};
    for (int i = 0; i < kScriptLines; ++i)
        if (SameFileName(kScript[i].file, file) && kScript[i].shape == kSpokenCharacter)
            return {file, frequencyHz, kCharacterMs, kToneDb};
    return {file, frequencyHz, kPhraseToneMs, kToneDb};
}
}  // namespace

std::vector<ToneSpec> ToneSpecs() {
    std::vector<ToneSpec> specs;
    int frequency = kToneBaseHz;
    for (const std::string& file : PackFileNames()) {
        specs.push_back(SpecFor(file, frequency));
        frequency += kToneStepHz;
    }
    return specs;
}

std::vector<PackSound> MakeTonePack(const std::vector<ToneSpec>& specs) {
    std::vector<PackSound> sounds;
    for (const ToneSpec& spec : specs) {
        Signal s(SamplesForMs(spec.lengthMs));
        for (size_t i = 0; i < s.size(); ++i) {
            // The phase from the whole-number product keeps long tones exact.
            long cycleStep = long(i) * spec.frequencyHz % kPackSampleRate;
            s[i] = std::sin(6.283185307179586 * double(cycleStep) / kPackSampleRate);
        }
        SetPeak(s, spec.levelDb);
        if (spec.levelDb != kLoopToneDb) FadeEnds(s, kToneFadeMs);
        sounds.push_back({spec.file, ToPcm(s)});
    }
    return sounds;
}

std::string ToneTableText(const std::vector<ToneSpec>& specs) {
    std::string text = "# file frequency_hz length_ms peak_dbfs\n";
    char line[256];
    for (const ToneSpec& spec : specs) {
        std::snprintf(line, sizeof line, "%s %d %d %.0f\n", spec.file.c_str(), spec.frequencyHz,
                      spec.lengthMs, spec.levelDb);
        text += line;
    }
    return text;
}
