// voice_candidates: the game's characters in every voice, for voice_bench.py to compare.
//
//   voice_candidates <folder>
//
// Writes one pack folder per voice and spelling, <folder>/<voice>-written and
// <folder>/<voice>-spoken, each holding level1\A.vgz ... level1\9.vgz and the signs as the
// generator would make them in that voice. "written" gives the synthesiser the letter ("A"),
// "spoken" its name as it sounds ("ay"); digits and signs are written once, in "written".
#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/pack_audio.h"
#include "tools/script.h"
#include "tools/sound_pack.h"
#include "tools/speech.h"

namespace {
const char* const kSpokenLetters[26] = {
    "ay",  "bee", "see", "dee", "ee",         "eff", "gee", "aitch", "eye",
    "jay", "kay", "el",  "em",  "en",         "oh",  "pee", "cue",   "are",
    "ess", "tee", "you", "vee", "double you", "ex",  "why", "zee",
};

// The letter a character file names, or 0 for a digit or a sign.
char LetterOf(const std::string& file) {
    const std::string folder = "level1\\";
    if (file.size() != folder.size() + 5 || !SameFileName(file.substr(0, folder.size()), folder))
        return 0;
    char c = file[folder.size()];
    return std::isupper(static_cast<unsigned char>(c)) ? c : 0;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    if (!OpenSpeech()) {
        std::fprintf(stderr, "voice_candidates: a speech voice is missing\n");
        return 1;
    }
    const std::string root = argv[1];
    for (int v = 0; v < kSpeechVoices; ++v) {
        SpeechVoice voice = SpeechVoice(v);
        for (bool spoken : {false, true}) {
            const std::string dir =
                root + "/" + SpeechVoiceName(voice) + (spoken ? "-spoken" : "-written");
            std::vector<PackSound> sounds;
            for (int i = 0; i < kScriptLines; ++i) {
                ScriptLine line = kScript[i];
                if (line.shape != kSpokenCharacter) continue;
                char letter = LetterOf(line.file);
                if (spoken && letter == 0) continue;
                std::string text = letter == 0 ? line.text
                                   : spoken    ? kSpokenLetters[letter - 'A']
                                               : std::string(1, letter);
                line.text = text.c_str();
                line.voice = voice;
                Signal s = SpeakLine(line);
                if (s.empty()) {
                    std::fprintf(stderr, "voice_candidates: cannot say %s\n", text.c_str());
                    return 1;
                }
                sounds.push_back({line.file, ToPcm(s)});
            }
            std::string error;
            if (!WritePack(dir, sounds, &error)) {
                std::fprintf(stderr, "voice_candidates: %s\n", error.c_str());
                return 1;
            }
        }
    }
    return 0;
}
