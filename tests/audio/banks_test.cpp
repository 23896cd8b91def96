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

// The level bank's file that speaks `symbol`.
const char* SymbolFile(char symbol) {
    return kLevelSoundFiles[SymbolSlot(GameSymbolIndex(static_cast<unsigned char>(symbol)))];
}

std::string Format(const char* format, int value) {
    char name[64];
    std::snprintf(name, sizeof name, format, value);
    return name;
}

TEST(CatalogueTest, HoldsOneHundredAndTwentySlotsNamingOneHundredAndTwelveFiles) {
    std::set<std::string> files;
    int slots = 0;
    auto add = [&](const char* const* names, int count) {
        for (int i = 0; i < count; ++i, ++slots) files.insert(Lower(names[i]));
    };
    add(kMenuSoundFiles, kMenuSoundCount);
    add(kScoreSoundFiles, kScoreSoundCount);
    add(kLevelSoundFiles, kLevelSoundCount);
    add(kLearnSoundFiles, kLearnSoundCount);
    add(kSubmitSoundFiles, kSubmitSoundCount);
    add(kSpeakerTestSoundFiles, kSpeakerTestSoundCount);
    const char* singles[] = {kIntroSoundFile, kGameOverSoundFile, kExitSoundFile};
    add(singles, 3);
    EXPECT_EQ(slots, 120);
    EXPECT_EQ(files.size(), 112u);
}

TEST(CatalogueTest, ComputedNamesFollowTheirNumbersAndLetters) {
    for (int i = kScoreSlotZero; i <= kScoreSlotTwenty; ++i) {
        EXPECT_EQ(kScoreSoundFiles[i], Format("score\\%d.vgz", i));
    }
    for (int i = kScoreSlotThirty; i <= kScoreSlotNinety; ++i) {
        EXPECT_EQ(kScoreSoundFiles[i], Format("score\\%d.vgz", (i - 18) * 10));
    }
    for (int i = kLevelSlotLetterA; i <= kLevelSlotLetterZ; ++i) {
        EXPECT_EQ(kLevelSoundFiles[i], Format("level1\\%c.vgz", 'A' + (i - kLevelSlotLetterA)));
    }
    for (int i = kLevelSlotDigit0; i <= kLevelSlotDigit9; ++i) {
        EXPECT_EQ(kLevelSoundFiles[i], Format("level1\\%c.vgz", '0' + (i - kLevelSlotDigit0)));
    }
    // The learn mode's cues are the level's own files.
    EXPECT_EQ(Lower(kLearnSoundFiles[kLearnSlotKeyClick]), kLevelSoundFiles[kLevelSlotKeyClick]);
    EXPECT_EQ(Lower(kLearnSoundFiles[kLearnSlotAnswerCue]), kLevelSoundFiles[kLevelSlotAnswerCue]);
    EXPECT_EQ(Lower(kLearnSoundFiles[kLearnSlotSuccessCue]),
              kLevelSoundFiles[kLevelSlotSuccessCue]);
    EXPECT_EQ(Lower(kLearnSoundFiles[kLearnSlotErrorCue]), kLevelSoundFiles[kLevelSlotErrorCue]);
}

TEST(CatalogueTest, EachNamedSlotHoldsTheSoundItIsNamedFor) {
    for (int n = 0; n <= 20; ++n)
        EXPECT_EQ(kScoreSoundFiles[NumberSlot(n)], Format("score\\%d.vgz", n));
    for (int tens = 2; tens <= 9; ++tens) {
        EXPECT_EQ(kScoreSoundFiles[TensSlot(tens)], Format("score\\%d.vgz", tens * 10));
    }
    for (int n = 0; n < 26; ++n) {
        EXPECT_EQ(kLevelSoundFiles[LetterSlot(n)], Format("level1\\%c.vgz", 'A' + n));
    }
    for (int n = 0; n <= 9; ++n) {
        EXPECT_EQ(kLevelSoundFiles[DigitSlot(n)], Format("level1\\%c.vgz", '0' + n));
    }
    // Each of the learn mode's first four items names the cue that Enter plays on it.
    const struct {
        int item;
        const char* itemFile;
        const char* cueFile;
    } learnItems[] = {
        {kLearnSlotKeyClickItem, "learn\\1.vgz", "Level1\\key.vgz"},
        {kLearnSlotAnswerCueItem, "learn\\2.vgz", "Level1\\blust.vgz"},
        {kLearnSlotSuccessCueItem, "learn\\3.vgz", "Level1\\success.vgz"},
        {kLearnSlotErrorCueItem, "learn\\4.vgz", "Level1\\err.vgz"},
    };
    for (const auto& item : learnItems) {
        EXPECT_STREQ(kLearnSoundFiles[item.item], item.itemFile);
        EXPECT_STREQ(kLearnSoundFiles[LearnCueSlot(item.item)], item.cueFile);
    }
    const struct {
        const char* file;
        const char* named;
    } named[] = {
        {kMenuSoundFiles[kMenuSlotInstructions], "menu\\arrows.vgz"},
        {kMenuSoundFiles[kMenuSlotStartGame], "menu\\start_game.vgz"},
        {kMenuSoundFiles[kMenuSlotTestSpeakers], "menu\\test_speakers.vgz"},
        {kMenuSoundFiles[kMenuSlotLearnGameSounds], "menu\\learn_game_sounds.vgz"},
        {kMenuSoundFiles[kMenuSlotFinalScore], "menu\\final_score.vgz"},
        {kMenuSoundFiles[kMenuSlotViewTopTen], "menu\\view_top_10.vgz"},
        {kMenuSoundFiles[kMenuSlotSendScore], "menu\\send_score.vgz"},
        {kMenuSoundFiles[kMenuSlotQuit], "menu\\quit.vgz"},
        {kMenuSoundFiles[kMenuSlotMusic], "menu\\bgrn.vgz"},
        {kScoreSoundFiles[kScoreSlotTwenty], "score\\20.vgz"},
        {kScoreSoundFiles[kScoreSlotThirty], "score\\30.vgz"},
        {kScoreSoundFiles[kScoreSlotNinety], "score\\90.vgz"},
        {kScoreSoundFiles[kScoreSlotHundred], "score\\hundred.vgz"},
        {kScoreSoundFiles[kScoreSlotThousand], "score\\thousand.vgz"},
        {kScoreSoundFiles[kScoreSlotFinalScoreIntro], "score\\say_final_score.vgz"},
        {kScoreSoundFiles[kScoreSlotTopTenIntro], "score\\score_arrows.vgz"},
        {kScoreSoundFiles[kScoreSlotCurrentScore], "score\\your_current_score.vgz"},
        {kScoreSoundFiles[kScoreSlotPoints], "score\\say_points.vgz"},
        {kScoreSoundFiles[kScoreSlotLivesRemaining], "score\\SayLivesRemaining.vgz"},
        {kScoreSoundFiles[kScoreSlotReturnToMenu], "game\\return_to_menu.vgz"},
        {kScoreSoundFiles[kScoreSlotMadeIt], "game\\made_it.vgz"},
        {kScoreSoundFiles[kScoreSlotNotEnough], "game\\not_enough.vgz"},
        {kLevelSoundFiles[kLevelSlotBackground], "level1\\bgrn.vgz"},
        {kLevelSoundFiles[kLevelSlotKeyClick], "level1\\key.vgz"},
        {kLevelSoundFiles[kLevelSlotAnswerCue], "level1\\blust.vgz"},
        {kLevelSoundFiles[kLevelSlotErrorCue], "level1\\err.vgz"},
        {kLevelSoundFiles[kLevelSlotSuccessCue], "level1\\success.vgz"},
        {SymbolFile('\\'), "level1\\bslash.vgz"},
        {SymbolFile(':'), "level1\\col.vgz"},
        {SymbolFile(','), "level1\\com.vgz"},
        {SymbolFile('>'), "level1\\great.vgz"},
        {SymbolFile('<'), "level1\\less.vgz"},
        {SymbolFile('-'), "level1\\minus.vgz"},
        {SymbolFile('+'), "level1\\plus.vgz"},
        {SymbolFile('.'), "level1\\point.vgz"},
        {SymbolFile(';'), "level1\\scol.vgz"},
        {SymbolFile('/'), "level1\\slash.vgz"},
        {kLevelSoundFiles[kLevelSlotLetterZ], "level1\\Z.vgz"},
        {kLevelSoundFiles[kLevelSlotDigit9], "level1\\9.vgz"},
        {kLearnSoundFiles[kLearnSlotReturnItem], "game\\return_to_menu.vgz"},
        {kSubmitSoundFiles[kSubmitSlotPrompt], "game\\check_connected.vgz"},
        {kSubmitSoundFiles[kSubmitSlotSending], "game\\sending_score.vgz"},
        {kSubmitSoundFiles[kSubmitSlotConfigFirst], "game\\say_config_first.vgz"},
        {kSpeakerTestSoundFiles[kSpeakerTestSlotFrontLeft], "TestSpk\\f_left.vgz"},
        {kSpeakerTestSoundFiles[kSpeakerTestSlotFrontRight], "TestSpk\\f_right.vgz"},
        {kSpeakerTestSoundFiles[kSpeakerTestSlotRearLeft], "TestSpk\\f_left1.vgz"},
        {kSpeakerTestSoundFiles[kSpeakerTestSlotRearRight], "TestSpk\\f_right1.vgz"},
    };
    for (const auto& slot : named) EXPECT_STREQ(slot.file, slot.named);
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
    EXPECT_EQ(VirtualCallsOf("Label", "menu\\start_game.vgz").size(), 3u);
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

TEST_F(BanksTest, BankWhoseLastFileIsMissingReleasesEverythingItLoaded) {
    RemovePackFile(dir_, "game\\not_enough.vgz");
    EXPECT_EQ(LoadScoreSounds(), 0);
    EXPECT_EQ(VirtualLiveBuffers(), 0);
    EXPECT_EQ(VirtualCallsOf("Release").size(), 37u);
    for (Sound sound : g_scoreSounds) EXPECT_EQ(sound, nullptr);
}

TEST_F(BanksTest, BankStopsAtTheFirstMissingFile) {
    RemovePackFile(dir_, "score\\0.vgz");
    EXPECT_EQ(LoadScoreSounds(), 0);
    EXPECT_TRUE(VirtualCallsOf("CreateBuffer").empty());
    EXPECT_TRUE(VirtualCallsOf("Release").empty());
}

}  // namespace
