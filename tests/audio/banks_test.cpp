// The catalogue of every sound file: the slots the game computes and the files they share.
#include "audio/banks.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <set>
#include <string>

#include "audio/bank_slots.h"

namespace {

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string Format(const char* format, int value) {
    char name[64];
    std::snprintf(name, sizeof name, format, value);
    return name;
}

// Each slot the game finds by a number, a letter, a digit, a symbol or a cue holds the file
// named for it.
TEST(CatalogueTest, EachComputedSlotHoldsTheFileNamedForIt) {
    const struct {
        const char* what;
        const char* const* bank;
        int (*slot)(int);
        int first, last;
        std::string (*named)(int);
    } families[] = {
        {"number", kScoreSoundFiles, NumberSlot, 0, 20,
         [](int n) { return Format("score\\%d.vgz", n); }},
        {"tens", kScoreSoundFiles, TensSlot, 3, 9,
         [](int n) { return Format("score\\%d.vgz", n * 10); }},
        {"letter", kLevelSoundFiles, LetterSlot, 0, 25,
         [](int n) { return Format("level1\\%c.vgz", 'A' + n); }},
        {"digit", kLevelSoundFiles, DigitSlot, 0, 9,
         [](int n) { return Format("level1\\%c.vgz", '0' + n); }},
        {"symbol", kLevelSoundFiles, SymbolSlot, 0, kGameSymbolCount - 1,
         [](int n) { return std::string(kGameSymbols[n].soundFile); }},
        // Each of the learn mode's first four items names the level's cue that Enter plays on it.
        {"learn cue", kLearnSoundFiles, LearnCueSlot, kLearnSlotKeyClickItem,
         kLearnSlotErrorCueItem,
         [](int item) {
             const int cues[] = {kLevelSlotKeyClick, kLevelSlotAnswerCue, kLevelSlotSuccessCue,
                                 kLevelSlotErrorCue};
             return std::string(kLevelSoundFiles[cues[item - kLearnSlotKeyClickItem]]);
         }},
    };
    for (const auto& family : families) {
        for (int n = family.first; n <= family.last; ++n) {
            EXPECT_EQ(Lower(family.bank[family.slot(n)]), Lower(family.named(n)))
                << family.what << " " << n;
        }
    }
}

// A file is loaded into two slots only where the game wants a buffer of its own for a copy, or
// where two banks speak the same words; every other slot is a sound of its own.
TEST(CatalogueTest, TwoSlotsShareAFileOnlyWhereTheGameWantsACopy) {
    const std::set<const char* const*> copies = {
        &kMenuSoundFiles[kMenuSlotStartGame + 2], &kMenuSoundFiles[kMenuSlotMusic + 1],
        &kLearnSoundFiles[kLearnSlotKeyClick],    &kLearnSoundFiles[kLearnSlotAnswerCue],
        &kLearnSoundFiles[kLearnSlotSuccessCue],  &kLearnSoundFiles[kLearnSlotErrorCue],
        &kLearnSoundFiles[kLearnSlotReturnItem],
    };
    std::set<std::string> seen;
    for (const SoundFileList& bank : kSoundFileLists) {
        for (int i = 0; i < bank.count; ++i) {
            const bool isNew = seen.insert(Lower(bank.files[i])).second;
            EXPECT_EQ(isNew, copies.count(&bank.files[i]) == 0) << bank.files[i];
        }
    }
}

}  // namespace
