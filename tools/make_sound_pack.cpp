// tapdash-make-pack: writes the game's sound pack into a program folder.
//
//   tapdash-make-pack <folder>          speech, cues and music
//   tapdash-make-pack --tones <folder>  a pure tone per file, and tones.txt listing them
//   --made-rate                         either, at the 16000 Hz the sounds are made at rather than
//                                       the device's 48000 Hz (the browser's pack)
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "tools/sound_pack.h"
#include "tools/tone_pack.h"

int main(int argc, char** argv) {
    bool tones = false;
    int rate = kStoredSampleRate;
    int arg = 1;
    for (; arg < argc - 1; ++arg) {
        if (std::strcmp(argv[arg], "--tones") == 0) {
            tones = true;
        } else if (std::strcmp(argv[arg], "--made-rate") == 0) {
            rate = kPackSampleRate;
        } else {
            break;
        }
    }
    if (arg != argc - 1) {
        std::fprintf(stderr, "usage: %s [--tones] [--made-rate] <program folder>\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[arg];
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
    if (!error.empty() || !WritePack(dir, sounds, &error, rate)) {
        std::fprintf(stderr, "tapdash-make-pack: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
