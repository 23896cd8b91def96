// Speech for the sound pack, spoken by flite's built-in English voices.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// flite's voices that speak at the pack's rate. Which line each speaks is the script's choice.
enum SpeechVoice {
    kVoiceKal16,  // a male voice, firm and even
    kVoiceRms,    // a male voice, slower, with full letter names
    kVoiceAwb,    // a male voice, Scottish English
    kVoiceSlt,    // a female voice, the most natural for long explanations
    kSpeechVoices
};

// The voice's own name, as flite calls it ("kal16").
const char* SpeechVoiceName(SpeechVoice voice);

// Prepares the voices before Speak (again is harmless). Returns 0 when a voice is missing.
int OpenSpeech();

// The text spoken by `voice`, as 16-bit mono samples at kPackSampleRate, silence included as
// the synthesiser made it. A stretch below 1 speaks faster. Empty on failure.
std::vector<int16_t> Speak(const std::string& text, SpeechVoice voice, float stretch = 1.0f);
