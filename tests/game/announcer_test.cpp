#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "game/announcer.h"
#include "game/state.h"
#include "storage/best_scores.h"

namespace {

// The words a built sequence says, the intro and "points" left out.
std::string SpokenNumber() {
    std::string words;
    for (int slot : g_speech) {
        if (slot == -1) break;
        std::string word;
        if (slot <= 20) {
            word = std::to_string(slot);
        } else if (slot <= 27) {
            word = std::to_string((slot - 18) * 10);
        } else if (slot == 28) {
            word = "hundred";
        } else if (slot == 29) {
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
        {12000, "12 thousand"},
        {20000, "20 thousand"},
        {25000, "20 5 thousand"},
        {20500, "20 thousand 5 hundred"},
        {99900, "90 9 thousand 9 hundred"},
        {100000, "1 hundred thousand"},
        {110000, "1 hundred 10 thousand"},
        {250000, "2 hundred 50 thousand"},
        {2099900, "20 hundred 90 9 thousand 9 hundred"},
    };
    for (const Case& c : cases) EXPECT_EQ(FinalScoreSpoken(c.score), c.spoken) << c.score;
}

TEST(AnnouncerSpeech, TheFinalScoreOpensWithItsIntroAndEndsWithPoints) {
    g_score = 100;
    BuildScoreSpeech(kSpeechFinalScore);
    EXPECT_EQ(g_speech[0], 30);
    EXPECT_EQ(g_speech[1], 1);
    EXPECT_EQ(g_speech[2], 28);
    EXPECT_EQ(g_speech[3], 33);
    for (int i = 4; i < kSpeechLength; ++i) EXPECT_EQ(g_speech[i], -1);
}

TEST(AnnouncerSpeech, MillionsSayTheirCountOfHundredThousandsAsANumber) {
    EXPECT_EQ(FinalScoreSpoken(2100000), "20 1 hundred thousand");
    EXPECT_EQ(FinalScoreSpoken(3500000), "30 5 hundred thousand");
    EXPECT_EQ(FinalScoreSpoken(10000000), "1 hundred hundred thousand");
    // The largest score there can be stays within the sequence and the bank.
    EXPECT_EQ(FinalScoreSpoken(INT_MAX),
              "20 1 thousand 4 hundred 70 4 hundred 80 3 thousand 6 hundred 40 7");
    EXPECT_EQ(g_speech[0], 30);
    int end = 0;
    while (end < kSpeechLength && g_speech[end] != -1) ++end;
    ASSERT_LT(end, kSpeechLength);
    EXPECT_EQ(g_speech[end - 1], 33);
    for (int i = 0; i < end; ++i) EXPECT_LT(g_speech[i], 38);
}

TEST(AnnouncerSpeech, TopTenEntriesAndTheReturnItem) {
    g_bestScores[0] = 900;
    g_bestScores[1] = -1;
    g_bestLastIndex = 1;
    g_topTenIndex = 0;
    BuildScoreSpeech(kSpeechTopTenEntry);
    EXPECT_EQ(g_speech[0], 31);
    EXPECT_EQ(SpokenNumber(), "9 hundred");
    g_topTenIndex = 1;  // an empty entry
    BuildScoreSpeech(kSpeechTopTenEntry);
    EXPECT_EQ(SpokenNumber(), "0");
    g_topTenIndex = 2;  // after the last entry
    BuildScoreSpeech(kSpeechTopTenEntry);
    EXPECT_EQ(g_speech[0], 35);
    EXPECT_EQ(g_speech[1], -1);
}
