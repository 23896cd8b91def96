// The sound pack: every file the game loads, made and written into a program folder.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/pack_audio.h"
#include "tools/script.h"

struct PackSound {
    std::string file;  // relative name, backslash separated
    std::vector<int16_t> samples;
};

// Every file the game loads, once (names compared without regard to letter case), in the order
// of its banks: menu, score, level, learn, submit, speaker test, practice, then the single
// sounds. The first spelling wins, so the level folder is written "level1".
std::vector<std::string> PackFileNames();

bool SameFileName(const std::string& a, const std::string& b);

// One line of the script as the pack holds it: trimmed to the words with a little quiet around
// them, evened to the pack's peak, faded in and out; a character lasts kCharacterMs. The voices
// must be open (OpenSpeech). Empty when the voice says nothing.
Signal SpeakLine(const ScriptLine& line);

// The game's own sounds: speech, cues and loops. False with a reason when any is missing.
bool MakeSoundPack(std::vector<PackSound>* sounds, std::string* error);

// Writes each sound in the stored form into `dir`, at the device's rate (kStoredSampleRate) or as
// made (kPackSampleRate: a third of the bytes, for the browser, which converts as it loads).
// False with a reason on failure.
bool WritePack(const std::string& dir, const std::vector<PackSound>& sounds, std::string* error,
               int rate = kStoredSampleRate);
