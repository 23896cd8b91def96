// The practice round and the record behind it (stats.dat), as a player meets them: a game's
// outcomes kept, the characters missed most drilled most, a wrong answer or a miss told, the
// weakest named at the end, and nothing of the last game's score touched.
#include "game/practice.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>
#include <tuple>

#include "audio/bank_slots.h"
#include "game/level_internal.h"
#include "game/menu.h"
#include "storage/best_scores.h"
#include "storage/char_stats.h"
#include "tests/game/level_play.h"
#include "tests/storage/best_files.h"
#include "tests/support/test_pack.h"

namespace {

class Practice : public LevelFixture {
  protected:
    std::string StatsFile() { return programDir + "stats.dat"; }
    // From the menu's instructions: Practise, and the explanation heard out.
    void StartRound() {
        SkipToMenu();
        ChooseMenuItem(kMenuSlotPractise);
        ASSERT_EQ(g_mode, MODE_PRACTICE);
        ASSERT_TRUE(RunUntil([] { return g_practiceStep == kPracticeAsking; }));
    }
    // Waits until the character being told has been told and the next one is asked.
    void HearItTold() {
        ASSERT_EQ(g_practiceStep, kPracticeTelling);
        ASSERT_TRUE(RunUntil([] { return g_practiceStep == kPracticeAsking; }));
    }
};

std::string SideName(int pan) {
    return pan < 0    ? "game\\side_left.vgz"
           : pan == 0 ? "game\\side_centre.vgz"
                      : "game\\side_right.vgz";
}

}  // namespace

TEST_F(Practice, AGamesOutcomesAreKeptInStatsDatWhenItEndsAndNotBefore) {
    StartGame();
    const char first = CharacterOf(g_charIndex);
    AnswerRightly();
    const char second = CharacterOf(g_charIndex);
    Type(g_characters[g_charIndex].keyCode);
    Press(WrongSideKey());
    const char third = CharacterOf(g_charIndex);
    const int typed = g_charIndex == 0 ? 1 : 0;  // A, or B when A is asked
    Type(g_characters[typed].keyCode);
    Press(SideKey());
    const char fourth = CharacterOf(g_charIndex);
    ASSERT_TRUE(RunUntil([] { return g_lives == 0; }));
    EXPECT_EQ(ReadFileBytes(StatsFile()), "");
    Press(kKeyEscape);

    ReadCharacterStats();
    std::map<char, CharacterStats> expected;
    expected[first].right += 1;
    expected[second].side += 1;
    expected[third].wrong += 1;
    expected[third].answeredAs[CharacterOf(typed)] += 1;
    expected[fourth].missed += 1;
    auto counts = [](const CharacterStats& s) {
        return std::make_tuple(s.played, s.right, s.side, s.wrong, s.missed, s.answeredAs);
    };
    for (auto& [character, stats] : expected) {
        stats.played = stats.right + stats.side + stats.wrong + stats.missed;
        EXPECT_EQ(counts(g_charStats[character]), counts(stats)) << character;
    }
}

// Draws come from the characters met in games, most often the ones missed.
TEST_F(Practice, TheCharactersMissedMostComeMostOftenAndEveryMetOneNowAndThen) {
    const struct {
        const char* record;
        std::string pool;
        char missed;  // missed half the time, or 0
    } cases[] = {
        {"", "ABCDE", 0},  // before any game: the first five
        {"tapdash-stats 1\nA played=10 right=10\nB played=10 right=10\nC played=10 right=10\n"
         "D played=10 right=10\nE played=10 right=10\nF played=10 right=5 wrong=2 side=1 missed=2\n"
         "G played=10 right=10\nH played=10 right=10\nI played=10 right=10\nJ played=10 right=10\n",
         "ABCDEFGHIJ", 'F'},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.record);
        WriteFileBytes(StatsFile(), c.record);
        ReadCharacterStats();
        BuildCharacterTable();
        std::map<char, int> drawn;
        srand(11);
        for (int n = 0; n < 200; ++n) drawn[CharacterOf(DrawPracticeCharacter())] += 1;
        EXPECT_EQ(drawn.size(), c.pool.size());
        const int missedDraws = c.missed ? drawn[c.missed] : 0;
        for (const auto& [character, count] : drawn) {
            EXPECT_NE(c.pool.find(character), std::string::npos) << character;
            if (c.missed && character != c.missed) {
                EXPECT_GE(missedDraws, 4 * count) << character;
            }
        }
    }
}

TEST_F(Practice, AWrongAnswerOrAMissIsToldAndCostsNeitherALifeNorTheLastGamesScore) {
    const std::string best = StoredList({900});
    WriteFileBytes(programDir + "best.dat", best);
    g_score = 700;  // the last game's, to be spoken or sent
    StartRound();
    for (bool miss : {false, true}) {
        SCOPED_TRACE(miss ? "miss" : "wrong side");
        const std::string character = CharacterFile();
        int pan = g_charPan;
        if (miss) {
            ASSERT_TRUE(RunUntil([] { return g_practiceStep == kPracticeTelling; }));
            pan = Plays(character).back().a;  // the side it was last heard from
        } else {
            Type(g_characters[g_charIndex].keyCode);
            Press(WrongSideKey());
        }
        VirtualClearCalls();
        HearItTold();
        std::vector<std::string> told = PlayedFiles();
        told.resize(2);
        EXPECT_EQ(told, (std::vector<std::string>{character, SideName(pan)}));
        EXPECT_EQ(Plays(character)[0].a, pan);
        EXPECT_EQ(g_lives, kStartLives);
    }
    Press(kKeyEscape);
    ASSERT_TRUE(RunUntil([] { return g_mode == MODE_MENU; }));
    EXPECT_EQ(g_score, 700);
    EXPECT_EQ(ReadFileBytes(programDir + "best.dat"), best);
    EXPECT_EQ(PlayedFiles().back(), "menu\\practise.vgz");
    EXPECT_EQ(VirtualLiveBuffers(), kMenuSoundCount + kScoreSoundCount);
}

TEST_F(Practice, EscapeNamesTheThreeWeakestFirstThenTheMenuSpeaksPractise) {
    WriteFileBytes(StatsFile(),
                   "tapdash-stats 1\nA played=10 right=10\nB played=10 right=9 missed=1\n"
                   "C played=10 right=2 wrong=8 as:G=8\nD played=4 right=2 side=2\n"
                   "E played=10 right=7 missed=3\n");
    StartRound();
    VirtualClearCalls();
    Press(kKeyEscape);
    ASSERT_TRUE(RunUntil([] { return g_mode == MODE_MENU; }));
    EXPECT_EQ(PlayedFiles(),
              (std::vector<std::string>{"game\\weakest.vgz", "level1\\C.vgz", "level1\\D.vgz",
                                        "level1\\E.vgz", "menu\\bgrn.vgz", "menu\\practise.vgz"}));
}

TEST_F(Practice, ADamagedRecordIsEmptyAndTheRoundsEndReplacesItWhole) {
    WriteFileBytes(StatsFile(), "tapdash-stats 1\nF played=ten\n");
    StartRound();
    const char asked = CharacterOf(g_charIndex);
    AnswerRightly();
    Press(kKeyEscape);
    EXPECT_EQ(ReadFileBytes(StatsFile()), std::string("tapdash-stats 1\n") + asked +
                                              " played=1 right=1 wrong=0 side=0 missed=0\n");
}
