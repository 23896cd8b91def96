#include "tools/speech.h"

#include <cstdlib>

extern "C" {
#include <flite/flite.h>
cst_voice* register_cmu_us_kal16(const char* voxdir);
cst_voice* register_cmu_us_rms(const char* voxdir);
cst_voice* register_cmu_us_awb(const char* voxdir);
cst_voice* register_cmu_us_slt(const char* voxdir);
}

#include "tools/pack_audio.h"

namespace {
struct VoiceEntry {
    const char* name;
    cst_voice* (*registerVoice)(const char* voxdir);
};

const VoiceEntry kVoices[kSpeechVoices] = {
    {"kal16", register_cmu_us_kal16},
    {"rms", register_cmu_us_rms},
    {"awb", register_cmu_us_awb},
    {"slt", register_cmu_us_slt},
};

cst_voice* g_voices[kSpeechVoices] = {};
bool g_fliteReady = false;
}  // namespace

const char* SpeechVoiceName(SpeechVoice voice) {
    return voice >= 0 && voice < kSpeechVoices ? kVoices[voice].name : "";
}

// The voices are registered once and kept for the life of the process: a voice registered a
// second time does not speak exactly as the first did, and the pack must come out the same.
int OpenSpeech() {
    if (!g_fliteReady) flite_init();
    g_fliteReady = true;
    int ready = 1;
    for (int i = 0; i < kSpeechVoices; ++i) {
        if (g_voices[i] == nullptr) g_voices[i] = kVoices[i].registerVoice(nullptr);
        ready = ready && g_voices[i] != nullptr;
    }
    return ready;
}

std::vector<int16_t> Speak(const std::string& text, SpeechVoice voice, float stretch) {
    if (voice < 0 || voice >= kSpeechVoices || g_voices[voice] == nullptr) return {};
    cst_voice* v = g_voices[voice];
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
