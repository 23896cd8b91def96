// The key-latency benchmark's sound pack: every file of the game silent, at the tone pack's
// lengths, except the key click, which sounds from its very first sample. Whatever the page's
// sound graph plays that is not silence is then the click.
#include <cmath>
#include <cstdio>

#include "tools/sound_pack.h"
#include "tools/tone_pack.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    std::vector<PackSound> sounds;
    for (const ToneSpec& spec : ToneSpecs()) {
        Signal s(SamplesForMs(spec.lengthMs), 0.0f);
        if (SameFileName(spec.file, "level1\\key.vgz")) {
            // A cosine starts at its peak: no fade, so its onset is its first sample.
            for (size_t i = 0; i < s.size(); ++i)
                s[i] = 0.5f * std::cos(6.283185307179586 * 1000.0 * double(i) / kPackSampleRate);
        }
        sounds.push_back({spec.file, ToPcm(s)});
    }
    std::string error;
    if (!WritePack(argv[1], sounds, &error)) {
        std::fprintf(stderr, "%s: %s\n", argv[0], error.c_str());
        return 1;
    }
    return 0;
}
