// The test pack: every file a pure tone of its own frequency and length, so that a recording
// of the game's output tells which file played, when and from which side.
#pragma once

#include <string>
#include <vector>

#include "tools/sound_pack.h"

struct ToneSpec {
    std::string file;
    int frequencyHz;
    int lengthMs;
    float levelDb;  // peak, dBFS
};

// Frequencies go up in steps of kToneStepHz from kToneBaseHz, in the order of PackFileNames().
constexpr int kToneBaseHz = 200;
constexpr int kToneStepHz = 50;

std::vector<ToneSpec> ToneSpecs();
std::vector<PackSound> MakeTonePack(const std::vector<ToneSpec>& specs);
// One line a file: "<file> <frequency Hz> <length ms> <peak dBFS>", after a comment line.
std::string ToneTableText(const std::vector<ToneSpec>& specs);

constexpr const char* kToneTableFile = "tones.txt";
