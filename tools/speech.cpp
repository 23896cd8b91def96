#include "tools/speech.h"

extern "C" {
#include <flite/flite.h>
cst_voice* register_cmu_us_kal16(const char* voxdir);
void unregister_cmu_us_kal16(cst_voice* voice);
cst_voice* register_cmu_us_slt(const char* voxdir);
void unregister_cmu_us_slt(cst_voice* voice);
}

#include "tools/pack_audio.h"

namespace {
cst_voice* g_clearVoice = nullptr;
cst_voice* g_naturalVoice = nullptr;
}  // namespace

int OpenSpeech() {
    flite_init();
    g_clearVoice = register_cmu_us_kal16(nullptr);
    g_naturalVoice = register_cmu_us_slt(nullptr);
    return g_clearVoice != nullptr && g_naturalVoice != nullptr;
}

void CloseSpeech() {
    if (g_clearVoice != nullptr) unregister_cmu_us_kal16(g_clearVoice);
    if (g_naturalVoice != nullptr) unregister_cmu_us_slt(g_naturalVoice);
    g_clearVoice = nullptr;
    g_naturalVoice = nullptr;
}

std::vector<int16_t> Speak(const std::string& text, SpeechVoice voice, float stretch) {
    cst_voice* v = voice == kVoiceClear ? g_clearVoice : g_naturalVoice;
    if (v == nullptr) return {};
    flite_feat_set_float(v->features, "duration_stretch", stretch);
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
