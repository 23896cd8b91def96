// tapdash-make-pack: writes the game's sound pack into a program folder.
//
//   tapdash-make-pack <folder>          speech, cues and music
//   tapdash-make-pack --tones <folder>  a pure tone per file, and tones.txt listing them
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "tools/sound_pack.h"
#include "tools/tone_pack.h"

int main(int argc, char** argv) {
    bool tones = argc == 3 && std::strcmp(argv[1], "--tones") == 0;
    if (argc != 2 && !tones) {
        std::fprintf(stderr, "usage: %s [--tones] <program folder>\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[argc - 1];
    std::error_code made;
    std::filesystem::create_directories(dir, made);
    std::vector<PackSound> sounds;
    std::string error;
    if (tones) {
        std::vector<ToneSpec> specs = ToneSpecs();
        sounds = MakeTonePack(specs);
        std::ofstream table(dir + "/" + kToneTableFile, std::ios::trunc);
        table << ToneTableText(specs);
        if (!table.good()) error = "cannot write the tone table";
    } else if (!MakeSoundPack(&sounds, &error)) {
        std::fprintf(stderr, "tapdash-make-pack: %s\n", error.c_str());
        return 1;
    }
    if (!error.empty() || !WritePack(dir, sounds, &error)) {
        std::fprintf(stderr, "tapdash-make-pack: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
