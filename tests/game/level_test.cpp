#include "game/level.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>

#include "audio/banks.h"
#include "game/level_internal.h"
#include "game/state.h"
#include "storage/best_scores.h"
#include "tests/game/level_play.h"
#include "tests/storage/best_files.h"
#include "tests/support/test_pack.h"

namespace {

constexpr int kColon = 38, kGreater = 40, kLess = 41, kPlus = 43, kFullStop = 44;

class LevelPlay : public LevelFixture {
  protected:
    std::string BestFile() { return programDir + "best.dat"; }
};

}  // namespace

TEST_F(LevelPlay, AGameOpensWithTheMusicAndLettersAToEAtVolume800) {
    StartGame();
    auto music = Plays("level1\\bgrn.vgz");
    ASSERT_EQ(music.size(), 1u);
    EXPECT_EQ(music[0].x, kPlayLooping);
    EXPECT_EQ(music[0].b, 0);

    const std::set<std::string> aToE = {"level1\\A.vgz", "level1\\B.vgz", "level1\\C.vgz",
                                        "level1\\D.vgz", "level1\\E.vgz"};
    for (int i = 0; i < 4; ++i) {
        auto plays = Plays(CharacterFile());
        ASSERT_FALSE(plays.empty());
        EXPECT_TRUE(aToE.count(CharacterFile())) << CharacterFile();
        EXPECT_EQ(plays.back().b, -800);
        EXPECT_EQ(plays.back().a, g_charPan);
        EXPECT_TRUE(g_charPan == kPanLeft || g_charPan == 0 || g_charPan == kPanRight);
        VirtualClearCalls();
        AnswerRightly();
    }
}

TEST_F(LevelPlay, AnswersAreJudgedOnTheLastKeyTypedAndTheLatestSide) {
    StartGame();
    // Nothing typed since start-up: wrong, whichever side.
    VirtualClearCalls();
    int pan = g_charPan;
    Press(SideKey());
    EXPECT_EQ(PlayedFiles(),
              (std::vector<std::string>{"level1\\blust.vgz", "level1\\err.vgz", CharacterFile()}));
    EXPECT_EQ(Plays("level1\\err.vgz")[0].a, pan);
    EXPECT_EQ(g_lives, 2);

    // Several keys before the answer: only the last counts.
    int right = g_characters[g_charIndex].keyCode;
    Type(right == kKeyZ ? kKeyY : kKeyZ);
    Type(right);
    VirtualClearCalls();
    pan = g_charPan;
    Press(SideKey());
    EXPECT_EQ(g_score, 100);
    auto success = Plays("level1\\success.vgz");
    ASSERT_EQ(success.size(), 1u);
    EXPECT_EQ(success[0].a, pan);
    EXPECT_EQ(success[0].b, -800);

    // The right key, then a stray one: wrong.
    Type(g_characters[g_charIndex].keyCode);
    Type(kKey0);
    Press(SideKey());
    EXPECT_EQ(g_lives, 1);
    EXPECT_EQ(g_score, 100);

    // The right key on the wrong side: the third life. The error cue and a new character play;
    // the next tick silences them and the game-over message starts.
    Type(g_characters[g_charIndex].keyCode);
    VirtualClearCalls();
    Press(WrongSideKey());
    EXPECT_EQ(g_lives, 0);
    EXPECT_EQ(PlayedFiles(),
              (std::vector<std::string>{"level1\\blust.vgz", "level1\\err.vgz", CharacterFile()}));
    VirtualRunFor(50);
    EXPECT_EQ(g_mode, MODE_GAME_OVER);
    EXPECT_FALSE(VirtualCallsOf("Stop", "level1\\err.vgz").empty());
    EXPECT_FALSE(VirtualCallsOf("Stop", CharacterFile()).empty());
    EXPECT_EQ(PlayedFiles().back(), "game\\say_game_over.wav");
}

TEST_F(LevelPlay, TheTypedKeySurvivesTheAnswerForTheSameCharacterAgain) {
    StartGame();
    for (int i = 0; i < 200; ++i) {
        int previous = g_charIndex;
        AnswerRightly();
        if (g_charIndex != previous) continue;
        int score = g_score;
        Press(SideKey());  // nothing typed: the key of the last character still stands
        EXPECT_EQ(g_score, score + 100);
        return;
    }
    FAIL() << "the same character never came twice in a row";
}

TEST_F(LevelPlay, ARepeatMustBeAnsweredOnItsNewSide) {
    StartGame();
    std::string file = CharacterFile();
    ASSERT_TRUE(RunUntil([&] { return Plays(file).size() == 2; }));
    auto plays = Plays(file);
    EXPECT_EQ(plays[1].b, -700);
    EXPECT_EQ(plays[1].a, g_charPan);
    EXPECT_GE(plays[1].timeMs, plays[0].timeMs + 800);
    EXPECT_LE(plays[1].timeMs, plays[0].timeMs + 850);
    AnswerRightly();
    EXPECT_EQ(g_score, 100);
    EXPECT_EQ(g_lives, 3);
}

TEST_F(LevelPlay, ShiftIsNotItselfAKeyAndTheShiftedSymbolsArriveAsTheirCodes) {
    StartGame();
    // Shift held over a letter, its auto-repeat going on: the letter still counts, with no click
    // for Shift.
    Press(kKeyShift, true);
    Press(g_characters[g_charIndex].keyCode, true);
    VirtualClearCalls();
    Press(kKeyShift, true);
    Press(kKeyShift, true);
    EXPECT_TRUE(Plays("level1\\key.vgz").empty());
    Press(SideKey());
    EXPECT_EQ(g_score, 100);

    ScoreUpTo(6000);
    ASSERT_EQ(g_charPoolSize, 47);
    std::set<int> shiftedAnswered;
    for (int i = 0; i < 1000 && shiftedAnswered.size() < 4; ++i) {
        int entry = g_charIndex;
        int score = g_score;
        if (entry == kColon) {
            Press(kKeyShift, true);
            Press(kKeyShift, true);
            Press(kKeyColon, true);
            Press(kKeyShift, true);
            Press(SideKey());
        } else {
            AnswerRightly();
        }
        ASSERT_EQ(g_score, score + 100) << "entry " << entry;
        if (entry == kColon || entry == kGreater || entry == kLess || entry == kPlus) {
            shiftedAnswered.insert(entry);
        }
    }
    EXPECT_EQ(shiftedAnswered.size(), 4u);
    EXPECT_EQ(g_lives, 3);
}

TEST_F(LevelPlay, WhatTheLayoutTypedWithShiftCountsAsItIs) {
    // A French layout types the digits and the full stop with Shift held: the platform hands over
    // the digit or the full stop, with Shift held, and that is the answer.
    StartGame();
    ScoreUpTo(6000);
    bool digitAnswered = false, fullStopAnswered = false;
    for (int i = 0; i < 1000 && !(digitAnswered && fullStopAnswered); ++i) {
        int entry = g_charIndex;
        int code = g_characters[entry].keyCode;
        bool digit = code >= kKey0 && code <= kKey9;
        bool fullStop = entry == kFullStop;
        Press(kKeyShift, true);
        Press(code, digit || fullStop);
        Press(SideKey());
        ASSERT_EQ(g_lives, 3) << "entry " << entry;
        digitAnswered = digitAnswered || digit;
        fullStopAnswered = fullStopAnswered || fullStop;
    }
    EXPECT_TRUE(digitAnswered);
    EXPECT_TRUE(fullStopAnswered);
}

TEST_F(LevelPlay, TheEmptyEntryOfTheTableIsNeverAsked) {
    StartGame();
    ScoreUpTo(6000);
    // A generator state whose next draw lands on the empty entry: the character is drawn again,
    // then its side.
    unsigned seed = 1;
    int character = 0, side = 0;
    for (;; ++seed) {
        srand(seed);
        if (rand() % 47 != kUnusedCharacter) continue;
        character = rand() % 47;
        side = rand() % 3;
        if (character != kUnusedCharacter) break;
    }
    Type(g_characters[g_charIndex].keyCode);
    srand(seed);
    VirtualClearCalls();
    Press(SideKey());
    EXPECT_EQ(g_charIndex, character);
    EXPECT_EQ(g_charPan, PanOfDraw(side));
    EXPECT_EQ(PlayedFiles().back(), CharacterFile());

    for (int i = 0; i < 500; ++i) {
        ASSERT_NE(g_charIndex, kUnusedCharacter);
        AnswerRightly();
    }
    EXPECT_TRUE(Plays("level1\\bgrn.vgz").empty());  // never played as a character
    EXPECT_EQ(g_lives, 3);
}

TEST_F(LevelPlay, EscapeEndsTheGameAndKeepsAScoreAboveZero) {
    WriteFileBytes(BestFile(), "");
    StartGame();
    ScoreUpTo(300);
    VirtualClearCalls();
    Press(kKeyEscape);
    EXPECT_EQ(g_mode, MODE_GAME_OVER);
    EXPECT_EQ(VirtualCallsOf("Release").size(), 51u);
    EXPECT_EQ(VirtualCallsOf("ReleaseListener").size(), 1u);
    EXPECT_EQ(PlayedFiles(), (std::vector<std::string>{"game\\say_game_over.wav"}));
    ASSERT_EQ(ReadBestScores(), 1);
    EXPECT_EQ(g_bestScores[0], 300);
    EXPECT_EQ(g_bestScores[1], 0);

    // Ctrl cuts the message short and the final score begins.
    VirtualRunFor(200);
    Press(kKeyCtrl);
    EXPECT_EQ(g_mode, MODE_FINAL_SCORE);
    EXPECT_EQ(VirtualLiveBuffers(), 50);
    EXPECT_EQ(PlayedFiles().back(), "score\\say_final_score.vgz");
}

TEST_F(LevelPlay, AGameWithoutPointsLeavesTheBestScoresAlone) {
    const std::string stored = StoredList({900});
    WriteFileBytes(BestFile(), stored);
    StartGame();
    Press(kKeyEscape);
    EXPECT_EQ(ReadFileBytes(BestFile()), stored);
    // Other keys do not cut the message; its end hands over to the final score.
    Press(kKeySpace);
    Press(kKeyEnter);
    EXPECT_EQ(g_mode, MODE_GAME_OVER);
    ASSERT_TRUE(RunUntil([] { return g_mode == MODE_FINAL_SCORE; }, 2000));
    auto message = Plays("game\\say_game_over.wav");
    ASSERT_EQ(message.size(), 1u);
    EXPECT_GE(VirtualNowMs(), message[0].timeMs + 1500);
    EXPECT_LE(VirtualNowMs(), message[0].timeMs + 1560);
}

TEST_F(LevelPlay, AMissingGameOverMessageGoesStraightToTheFinalScore) {
    RemovePackFile(programDir, "game\\say_game_over.wav");
    StartGame();
    Press(kKeyEscape);
    EXPECT_EQ(g_mode, MODE_GAME_OVER);
    VirtualRunFor(50);
    EXPECT_EQ(g_mode, MODE_FINAL_SCORE);
}

TEST_F(LevelPlay, ALevelThatCannotLoadLeavesNothingBehindAndTheMenuSpeaks) {
    RemovePackFile(programDir, "level1\\9.vgz");
    SkipToMenu();
    Press(kKeyEnter);
    EXPECT_EQ(g_mode, MODE_MENU);
    EXPECT_EQ(VirtualLiveBuffers(), 50);
    auto listener = VirtualCallsOf("ReleaseListener");
    ASSERT_EQ(listener.size(), 1u);
    EXPECT_EQ(listener[0].a, 0);
    EXPECT_EQ(g_levelListener, nullptr);
    EXPECT_EQ(PlayedFiles(), (std::vector<std::string>{"menu\\bgrn.vgz", "menu\\start_game.vgz"}));
    EXPECT_EQ(Plays("menu\\bgrn.vgz")[0].x, kPlayLooping);
}
