#include "tools/speech.h"

#include <cstdlib>

extern "C" {
#include <flite/flite.h>
cst_voice* register_cmu_us_kal16(const char* voxdir);
cst_voice* register_cmu_us_slt(const char* voxdir);
}

#include "tools/pack_audio.h"

namespace {
cst_voice* g_clearVoice = nullptr;
cst_voice* g_naturalVoice = nullptr;
}  // namespace

// The voices are registered once and kept for the life of the process: a voice registered a
// second time does not speak exactly as the first did, and the pack must come out the same.
int OpenSpeech() {
    if (g_clearVoice == nullptr || g_naturalVoice == nullptr) {
        flite_init();
        if (g_clearVoice == nullptr) g_clearVoice = register_cmu_us_kal16(nullptr);
        if (g_naturalVoice == nullptr) g_naturalVoice = register_cmu_us_slt(nullptr);
    }
    return g_clearVoice != nullptr && g_naturalVoice != nullptr;
}

std::vector<int16_t> Speak(const std::string& text, SpeechVoice voice, float stretch) {
    cst_voice* v = voice == kVoiceClear ? g_clearVoice : g_naturalVoice;
    if (v == nullptr) return {};
    flite_feat_set_float(v->features, "duration_stretch", stretch);
    // The synthesiser draws on the C library's random numbers; the same start gives the same
    // speech on every run.
    std::srand(1);
    cst_wave* wave = flite_text_to_wave(text.c_str(), v);
    flite_feat_set_float(v->features, "duration_stretch", 1.0f);
    if (wave == nullptr) return {};
    std::vector<int16_t> samples;
    // Every voice in use speaks at the pack's rate; anything else would play at the wrong pitch.
    if (wave->sample_rate == kPackSampleRate && wave->num_channels == 1)
        samples.assign(wave->samples, wave->samples + wave->num_samples);
    delete_wave(wave);
    return samples;
}
