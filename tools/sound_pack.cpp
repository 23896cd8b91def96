#include "tools/sound_pack.h"

#include <strings.h>

#include <algorithm>
#include <cmath>

#include "audio/banks.h"
#include "tools/cues.h"
#include "tools/pack_audio.h"
#include "tools/script.h"
#include "tools/speech.h"
#include "tools/wave_file.h"

namespace {
constexpr float kSpeechPeakDb = -1.0f;
constexpr int kSpeechFadeMs = 5;
// The quiet kept around the words: the soft ends of "fifteen" or "points" lie below the silence
// threshold, and a phrase cut closer loses them. A character keeps less, so that its name fits.
constexpr int kPhraseMarginMs = 30;
constexpr int kCharacterMarginMs = 15;
// A character's name must leave a little silence within its 800 ms.
constexpr int kLongestCharacterNameMs = 700;

void AddOnce(std::vector<std::string>& names, const char* name) {
    if (name == nullptr) return;
    for (const std::string& n : names)
        if (SameFileName(n, name)) return;
    names.push_back(name);
}

const ScriptLine* FindScriptLine(const std::string& file) {
    for (int i = 0; i < kScriptLines; ++i)
        if (SameFileName(kScript[i].file, file)) return &kScript[i];
    return nullptr;
}

const CueLine* FindCue(const std::string& file) {
    for (int i = 0; i < kCueLines; ++i)
        if (SameFileName(kCues[i].file, file)) return &kCues[i];
    return nullptr;
}

// The script's and the cue table's files: the pack as this tool knows it.
std::vector<std::string> ToolFileNames() {
    std::vector<std::string> names;
    for (int i = 0; i < kScriptLines; ++i) AddOnce(names, kScript[i].file);
    for (int i = 0; i < kCueLines; ++i) AddOnce(names, kCues[i].file);
    return names;
}
}  // namespace

Signal SpeakLine(const ScriptLine& line) {
    int margin = line.shape == kSpokenCharacter ? kCharacterMarginMs : kPhraseMarginMs;
    Signal s = TrimToWords(FromPcm(Speak(line.text, line.voice)), margin);
    if (line.shape == kSpokenCharacter && MsForSamples(s.size()) > kLongestCharacterNameMs) {
        float stretch = float(kLongestCharacterNameMs) / float(MsForSamples(s.size()));
        s = TrimToWords(FromPcm(Speak(line.text, line.voice, stretch)), margin);
    }
    if (s.empty()) return s;
    SetPeak(s, kSpeechPeakDb);
    FadeEnds(s, kSpeechFadeMs);
    if (line.shape == kSpokenCharacter) PadTo(s, kCharacterMs);
    return s;
}

bool SameFileName(const std::string& a, const std::string& b) {
    return strcasecmp(a.c_str(), b.c_str()) == 0;
}

std::vector<std::string> PackFileNames() {
    std::vector<std::string> names;
    for (const SoundFileList& list : kSoundFileLists)
        for (int i = 0; i < list.count; ++i) AddOnce(names, list.files[i]);
    // Without the game's catalogue (not yet built in) the tool's own tables name the files.
    if (names.empty()) return ToolFileNames();
    return names;
}

bool MakeSoundPack(std::vector<PackSound>* sounds, std::string* error) {
    std::vector<std::string> names = PackFileNames();
    // Every sound this tool makes must be one the game loads, and the other way round.
    for (const std::string& tool : ToolFileNames()) {
        bool loaded = false;
        for (const std::string& n : names) loaded = loaded || SameFileName(n, tool);
        if (!loaded) {
            *error = "the game never loads " + tool;
            return false;
        }
    }
    if (!OpenSpeech()) {
        *error = "a speech voice is missing";
        return false;
    }
    sounds->clear();
    for (const std::string& name : names) {
        Signal s;
        if (const ScriptLine* line = FindScriptLine(name)) {
            s = SpeakLine(*line);
        } else if (const CueLine* cue = FindCue(name)) {
            s = cue->make();
        } else {
            *error = "nothing says or plays " + name;
            break;
        }
        if (s.empty()) {
            *error = "could not make " + name;
            break;
        }
        sounds->push_back({name, ToPcm(s)});
    }
    return sounds->size() == names.size();
}

bool WritePack(const std::string& dir, const std::vector<PackSound>& sounds, std::string* error,
               int rate) {
    for (const PackSound& sound : sounds) {
        const std::vector<int16_t> stored =
            rate == kPackSampleRate ? sound.samples : AtStoredRate(sound.samples);
        if (stored.empty() || !WritePackFile(dir, sound.file, StoredWaveBytes(stored, rate))) {
            *error = "cannot write " + PackPath(dir, sound.file);
            return false;
        }
    }
    return true;
}
