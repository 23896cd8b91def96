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
    for (int i = 0; i <= 20; ++i) EXPECT_EQ(kScoreSoundFiles[i], Format("score\\%d.vgz", i));
    for (int i = 21; i <= 27; ++i) {
        EXPECT_EQ(kScoreSoundFiles[i], Format("score\\%d.vgz", (i - 18) * 10));
    }
    for (int i = 15; i <= 40; ++i) {
        EXPECT_EQ(kLevelSoundFiles[i], Format("level1\\%c.vgz", 'A' + (i - 15)));
    }
    for (int i = 41; i <= 50; ++i) {
        EXPECT_EQ(kLevelSoundFiles[i], Format("level1\\%c.vgz", '0' + (i - 41)));
    }
    // The learn mode's cues are the level's own files.
    EXPECT_EQ(Lower(kLearnSoundFiles[5]), kLevelSoundFiles[1]);
    EXPECT_EQ(Lower(kLearnSoundFiles[6]), kLevelSoundFiles[2]);
    EXPECT_EQ(Lower(kLearnSoundFiles[7]), kLevelSoundFiles[4]);
    EXPECT_EQ(Lower(kLearnSoundFiles[8]), kLevelSoundFiles[3]);
}

TEST(CatalogueTest, EachNamedSlotHoldsTheSoundItIsNamedFor) {
    for (int n = 0; n <= 20; ++n)
        EXPECT_EQ(kScoreSoundFiles[NumberSlot(n)], Format("score\\%d.vgz", n));
    for (int tens = 2; tens <= 9; ++tens) {
        EXPECT_EQ(kScoreSoundFiles[TensSlot(tens)], Format("score\\%d.vgz", tens * 10));
    }
    const struct {
        const char* file;
        const char* named;
    } named[] = {
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
        {kSubmitSoundFiles[kSubmitSlotPrompt], "game\\check_connected.vgz"},
        {kSubmitSoundFiles[kSubmitSlotSending], "game\\sending_score.vgz"},
        {kSubmitSoundFiles[kSubmitSlotConfigFirst], "game\\say_config_first.vgz"},
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
    EXPECT_NE(g_menuSounds[10], g_menuSounds[11]);

    // The menu's items stop; its music plays on.
    PlaySoundLooping(g_menuSounds[10], 0, 0);
    PlaySoundOnce(g_menuSounds[1], 0, 0);
    StopBank(g_menuSounds, 0, 9);
    EXPECT_EQ(IsSoundPlaying(g_menuSounds[1]), 0);
    EXPECT_EQ(IsSoundLooping(g_menuSounds[10]), 1);

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
