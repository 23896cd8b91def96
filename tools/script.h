// What the pack's voices say: one line per spoken file.
#pragma once

#include "tools/speech.h"

enum SpokenShape {
    kSpokenPhrase,     // trimmed to the words
    kSpokenCharacter,  // the name, then silence up to kCharacterMs
};

constexpr int kCharacterMs = 800;  // every character of the game lasts this long

struct ScriptLine {
    const char* file;  // relative name in the program folder
    SpeechVoice voice;
    SpokenShape shape;
    const char* text;
};

extern const ScriptLine kScript[];
extern const int kScriptLines;
