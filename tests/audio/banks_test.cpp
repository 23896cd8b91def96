// The catalogue of every sound file and the loading of whole banks.
#include "audio/banks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <set>
#include <string>

#include "app/game_app.h"
#include "audio/bank_slots.h"
#include "platform/virtual/virtual.h"
#include "tests/support/test_pack.h"

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

class BanksTest : public ::testing::Test {
  protected:
    void SetUp() override {
        VirtualReset();
        dir_ = MakeScratchDir();
        g_programDir = dir_;
        WriteTestPack(dir_);
    }
    void TearDown() override {
        ReleaseScoreSounds();
        ReleaseBank(g_menuSounds, kMenuSoundCount);
    }
    std::string dir_;
};

void ReleaseMenuBank() {
    ReleaseBank(g_menuSounds, kMenuSoundCount);
}

TEST_F(BanksTest, StartUpBanksGiveRepeatedFilesTheirOwnBuffers) {
    ASSERT_EQ(LoadBank(g_menuSounds, kMenuSoundFiles, kMenuSoundCount, ReleaseMenuBank), 1);
    ASSERT_EQ(LoadScoreSounds(), 1);
    EXPECT_EQ(VirtualLiveBuffers(), 50);
    EXPECT_EQ(VirtualCallsOf("Label", "menu\\start_game.vgz").size(), 2u);
    EXPECT_EQ(VirtualCallsOf("Label", "menu\\bgrn.vgz").size(), 2u);
    EXPECT_NE(g_menuSounds[kMenuSlotMusic], g_menuSounds[kMenuSlotMusic + 1]);

    // The menu's items stop; its music plays on.
    PlaySoundLooping(g_menuSounds[kMenuSlotMusic], 0, 0);
    PlaySoundOnce(g_menuSounds[kMenuSlotStartGame], 0, 0);
    StopBank(g_menuSounds, kMenuSlotInstructions, kMenuSlotQuit);
    EXPECT_EQ(IsSoundPlaying(g_menuSounds[kMenuSlotStartGame]), 0);
    EXPECT_EQ(IsSoundLooping(g_menuSounds[kMenuSlotMusic]), 1);

    ReleaseScoreSounds();
    for (Sound sound : g_scoreSounds) EXPECT_EQ(sound, nullptr);
    EXPECT_EQ(VirtualLiveBuffers(), 12);
}

// A bank with a file missing releases all it loaded before it: 37 files before the last, none
// before the first.
TEST_F(BanksTest, ABankWithAFileMissingReleasesEverythingItLoaded) {
    const std::pair<const char*, size_t> cases[] = {{"game\\not_enough.vgz", 37},
                                                    {"score\\0.vgz", 0}};
    for (const auto& [missing, loaded] : cases) {
        SCOPED_TRACE(missing);
        VirtualClearCalls();
        RemovePackFile(dir_, missing);
        EXPECT_EQ(LoadScoreSounds(), 0);
        EXPECT_EQ(VirtualLiveBuffers(), 0);
        EXPECT_EQ(VirtualCallsOf("CreateBuffer").size(), loaded);
        EXPECT_EQ(VirtualCallsOf("Release").size(), loaded);
        for (Sound sound : g_scoreSounds) EXPECT_EQ(sound, nullptr);
    }
}

}  // namespace
