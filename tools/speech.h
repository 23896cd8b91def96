// Speech for the sound pack, spoken by flite's built-in English voices.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum SpeechVoice {
    kVoiceClear,    // the clearest voice: single letters, digits, numbers, short words
    kVoiceNatural,  // a more natural voice for the longer explanations
};

// Prepares the voices before Speak (again is harmless). Returns 0 when a voice is missing.
int OpenSpeech();

// The text spoken by `voice`, as 16-bit mono samples at kPackSampleRate, silence included as
// the synthesiser made it. A stretch below 1 speaks faster. Empty on failure.
std::vector<int16_t> Speak(const std::string& text, SpeechVoice voice, float stretch = 1.0f);
