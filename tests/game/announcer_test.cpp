#include "game/announcer.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "audio/bank_slots.h"
#include "audio/banks.h"
#include "game/state.h"
#include "storage/best_scores.h"
#include "tests/game/level_play.h"
#include "tests/storage/best_files.h"
#include "tests/support/test_pack.h"

namespace {

// The words a built sequence says, the intro and "points" left out.
std::string SpokenNumber() {
    std::string words;
    for (int slot : g_speech) {
        if (slot == kSpeechEnd) break;
        std::string word;
        if (slot <= kScoreSlotTwenty) {
            word = std::to_string(slot - kScoreSlotZero);
        } else if (slot <= kScoreSlotNinety) {
            word = std::to_string((slot - kScoreSlotThirty + 3) * 10);
        } else if (slot == kScoreSlotHundred) {
            word = "hundred";
        } else if (slot == kScoreSlotThousand) {
            word = "thousand";
        } else {
            continue;
        }
        words += (words.empty() ? "" : " ") + word;
    }
    return words;
}

std::string FinalScoreSpoken(int score) {
    g_score = score;
    BuildScoreSpeech(kSpeechFinalScore);
    return SpokenNumber();
}

}  // namespace

TEST(AnnouncerSpeech, ScoresAreSpokenInRecordedPieces) {
    struct Case {
        int score;
        const char* spoken;
    };
    const Case cases[] = {
        {0, "0"},
        {7, "7"},
        {20, "20"},
        {45, "40 5"},
        {100, "1 hundred"},
        {1200, "1 thousand 2 hundred"},
        {6000, "6 thousand"},
        {20000, "20 thousand"},
        {20500, "20 thousand 5 hundred"},
        {99900, "90 9 thousand 9 hundred"},
        {100000, "1 hundred thousand"},
        {110000, "1 hundred 10 thousand"},
        {250000, "2 hundred 50 thousand"},
        {2099900, "20 hundred 90 9 thousand 9 hundred"},
        // Millions say their count of hundred thousands as a number.
        {2100000, "20 1 hundred thousand"},
        {10000000, "1 hundred hundred thousand"},
        // The largest score there can be, last: it must stay within the sequence and the bank.
        {INT_MAX, "20 1 thousand 4 hundred 70 4 hundred 80 3 thousand 6 hundred 40 7"},
    };
    for (const Case& c : cases) EXPECT_EQ(FinalScoreSpoken(c.score), c.spoken) << c.score;
    EXPECT_EQ(g_speech[0], kScoreSlotFinalScoreIntro);
    int end = 0;
    while (end < kSpeechLength && g_speech[end] != kSpeechEnd) ++end;
    ASSERT_LT(end, kSpeechLength);
    EXPECT_EQ(g_speech[end - 1], kScoreSlotPoints);
    for (int i = 0; i < end; ++i) EXPECT_LT(g_speech[i], kScoreSoundCount);
}

TEST(AnnouncerSpeech, TopTenEntriesEmptyOnesSpokenAsZero) {
    g_bestScores[0] = 900;
    g_bestScores[1] = -1;
    g_bestLastIndex = 1;
    g_topTenIndex = 0;
    BuildScoreSpeech(kSpeechTopTenEntry);
    EXPECT_EQ(g_speech[0], kScoreSlotTopTenIntro);
    EXPECT_EQ(SpokenNumber(), "9 hundred");
    g_topTenIndex = 1;  // an empty entry
    BuildScoreSpeech(kSpeechTopTenEntry);
    EXPECT_EQ(SpokenNumber(), "0");
}

namespace {

class AnnouncerModes : public LevelFixture {
  protected:
    void SetUp() override {
        LevelFixture::SetUp();
        SkipToMenu();
    }

    // What a key makes the announcer say, up to the end of what it says.
    std::vector<std::string> SaidAfter(int key) {
        VirtualClearCalls();
        Press(key);
        EXPECT_TRUE(RunUntil([] { return g_tickEnabled == 0; }, 10000));
        return PlayedFiles();
    }

    void WriteBestFile(const std::vector<int>& scores) {
        WriteFileBytes(programDir + "best.dat", StoredList(scores));
    }
};

std::vector<std::string> Entry(std::vector<std::string> pieces) {
    std::vector<std::string> files;
    for (const std::string& piece : pieces) files.push_back("score\\" + piece + ".vgz");
    files.push_back("score\\say_points.vgz");
    return files;
}

const std::vector<std::string> kReturnItem = {"game\\return_to_menu.vgz"};

}  // namespace

TEST_F(AnnouncerModes, TheTopTenIsBrowsedWithTheArrowsAndWrapsBothWays) {
    WriteBestFile({900, 500, 200});
    ChooseMenuItem(kMenuSlotViewTopTen);
    ASSERT_EQ(g_mode, MODE_TOP_TEN);
    EXPECT_EQ(PlayedFiles(), (std::vector<std::string>{"score\\score_arrows.vgz"}));

    // A key during the intro cuts it and speaks the first entry, whatever the key.
    VirtualRunFor(200);
    EXPECT_EQ(SaidAfter(kKeyDown), Entry({"9", "hundred"}));
    EXPECT_FALSE(VirtualCallsOf("Stop", "score\\score_arrows.vgz").empty());
    EXPECT_EQ(SaidAfter(kKeyDown), Entry({"5", "hundred"}));
    EXPECT_EQ(SaidAfter(kKeyDown), Entry({"2", "hundred"}));
    EXPECT_EQ(SaidAfter(kKeyDown), kReturnItem);
    EXPECT_EQ(SaidAfter(kKeyDown), Entry({"9", "hundred"}));
    EXPECT_EQ(SaidAfter(kKeyUp), kReturnItem);
    EXPECT_EQ(SaidAfter(kKeyUp), Entry({"2", "hundred"}));
    EXPECT_EQ(SaidAfter(kKeyN), Entry({"2", "hundred"}));  // any other key says it again

    // Enter on an entry stops the word being said and stays in the list.
    VirtualClearCalls();
    Press(kKeyUp);
    VirtualRunFor(100);
    Press(kKeyEnter);
    EXPECT_EQ(g_mode, MODE_TOP_TEN);
    EXPECT_FALSE(VirtualCallsOf("Stop", "score\\5.vgz").empty());

    // Enter on the return item goes back to the menu, which says its current item.
    SaidAfter(kKeyDown);
    SaidAfter(kKeyDown);
    VirtualClearCalls();
    Press(kKeyEnter);
    EXPECT_EQ(g_mode, MODE_MENU);
    EXPECT_EQ(g_tickEnabled, 0);
    EXPECT_EQ(PlayedFiles().back(), "menu\\view_top_10.vgz");
}

TEST_F(AnnouncerModes, EscapeLeavesTheTopTenFromAnyEntry) {
    WriteBestFile({900});
    ChooseMenuItem(kMenuSlotViewTopTen);
    VirtualRunFor(1000);
    Press(kKeyDown);
    ASSERT_EQ(g_mode, MODE_TOP_TEN);
    Press(kKeyEscape);
    EXPECT_EQ(g_mode, MODE_MENU);
    EXPECT_EQ(g_tickEnabled, 0);
}

TEST_F(AnnouncerModes, TheFinalScoreGoesOnThroughKeysAndReturnsASecondAfterItsLastWord) {
    ChooseMenuItem(kMenuSlotFinalScore);
    ASSERT_EQ(g_mode, MODE_FINAL_SCORE);
    Press(kKeySpace);
    Press(kKeyEnter);
    Press(kKeyEscape);
    ASSERT_TRUE(RunUntil([] { return g_mode == MODE_MENU; }));
    std::vector<std::string> expected = {"score\\say_final_score.vgz", "score\\0.vgz",
                                         "score\\say_points.vgz", "menu\\final_score.vgz"};
    EXPECT_EQ(PlayedFiles(), expected);
    auto points = Plays("score\\say_points.vgz");
    auto menu = Plays("menu\\final_score.vgz");
    EXPECT_GE(menu[0].timeMs, points[0].timeMs + 400 + 1000);
    EXPECT_LE(menu[0].timeMs, points[0].timeMs + 400 + 1000 + 50);
}

TEST_F(AnnouncerModes, CtrlCutsTheFinalScoreShort) {
    g_score = 1200;
    ChooseMenuItem(kMenuSlotFinalScore);
    ASSERT_TRUE(RunUntil([] { return !Plays("score\\1.vgz").empty(); }));
    VirtualClearCalls();
    Press(kKeyCtrl);
    EXPECT_EQ(g_mode, MODE_MENU);
    EXPECT_EQ(g_tickEnabled, 0);
    EXPECT_FALSE(VirtualCallsOf("Stop", "score\\1.vgz").empty());
    EXPECT_EQ(PlayedFiles(), (std::vector<std::string>{"menu\\final_score.vgz"}));
    VirtualRunFor(3000);
    EXPECT_EQ(PlayedFiles(), (std::vector<std::string>{"menu\\final_score.vgz"}));
}
