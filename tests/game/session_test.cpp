// A player's whole session: the intro, the menu, three games that climb the difficulty ladder
// and run out of lives in every way, each followed by game over, the final score spoken piece by
// piece and the menu again.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "game/level.h"
#include "game/state.h"
#include "tests/game/level_play.h"

namespace {

constexpr int kCharacterMs = 800;
constexpr int kScoreIntroMs = 700;
constexpr int kNumberMs = 400;
constexpr int kGameOverMs = 1500;
constexpr int kTickMs = 50;

int PoolAt(int score) {
    return score >= 6000   ? 47
           : score >= 4000 ? 37
           : score >= 2500 ? 30
           : score >= 1200 ? 20
           : score >= 500  ? 10
                           : 5;
}

int VolumeStepAt(int score) {
    return score >= 6000   ? 500
           : score >= 5000 ? 400
           : score >= 4000 ? 300
           : score >= 3000 ? 250
           : score >= 2000 ? 200
           : score >= 1000 ? 150
                           : 100;
}

class Session : public LevelFixture {
  protected:
    // A right answer, and the ladder in force for the very next character.
    void AnswerRightlyOnTheLadder() {
        int score = g_score;
        AnswerRightly();
        ASSERT_EQ(g_score, score + 100);
        EXPECT_EQ(g_charPoolSize, PoolAt(g_score)) << "at " << g_score;
        EXPECT_EQ(g_volumeStep, VolumeStepAt(g_score)) << "at " << g_score;
        EXPECT_LT(g_charIndex, PoolAt(g_score));
    }

    void ClimbTo(int score) {
        while (g_score < score) {
            AnswerRightlyOnTheLadder();
            if (HasFatalFailure()) return;
        }
    }

    // Answers rightly, then lets the character that follows go unanswered: it plays at
    // `volumes`, each play starting within a tick of the end of the one before, and a tick
    // after the last play the error cue sounds from a newly drawn side and a life is gone.
    void AnswerThenMiss(const std::vector<int>& volumes) {
        Type(g_characters[g_charIndex].keyCode);
        VirtualClearCalls();
        Press(SideKey());
        const std::string file = CharacterFile();
        const int lives = g_lives;
        ASSERT_TRUE(RunUntil([&] { return Plays(file).size() == volumes.size(); }, 20000));
        const unsigned seed = 5;
        srand(seed);
        const int missSide = PanOfDraw(rand() % 3);
        srand(seed);
        ASSERT_TRUE(RunUntil([&] { return g_lives < lives; }, 2000));

        std::vector<int> heard;
        uint64_t previous = 0;
        for (const VirtualCall& call : VirtualCalls()) {
            if (call.op != "Play") continue;
            if (call.label == "level1\\err.vgz") {
                EXPECT_GE(call.timeMs, previous + kCharacterMs);
                EXPECT_LE(call.timeMs, previous + kCharacterMs + kTickMs);
                EXPECT_EQ(call.a, missSide);
                break;
            }
            if (call.label != file) continue;
            if (!heard.empty()) {
                EXPECT_GE(call.timeMs, previous + kCharacterMs);
                EXPECT_LE(call.timeMs, previous + kCharacterMs + kTickMs);
            }
            heard.push_back(call.b);
            previous = call.timeMs;
        }
        EXPECT_EQ(heard, volumes) << "repeats rising by " << g_volumeStep;
        EXPECT_EQ(g_lives, lives - 1);
    }

    // After the third life: the game-over message, then the score in pieces, each starting
    // within a tick of the end of the one before, and one second after the last the menu
    // announces Start game again with its music.
    void ExpectGameOverScoreAndMenu(const std::vector<std::string>& numberPieces) {
        ASSERT_TRUE(RunUntil([] { return g_mode == MODE_MENU; }, 30000));
        std::vector<VirtualCall> plays;
        bool over = false;
        for (const VirtualCall& call : VirtualCalls()) {
            over = over || (call.op == "Play" && call.label == "game\\say_game_over.wav");
            if (over && call.op == "Play") plays.push_back(call);
        }
        std::vector<std::string> expected = {"game\\say_game_over.wav",
                                             "score\\say_final_score.vgz"};
        for (const std::string& piece : numberPieces)
            expected.push_back("score\\" + piece + ".vgz");
        expected.push_back("score\\say_points.vgz");
        expected.push_back("menu\\bgrn.vgz");
        expected.push_back("menu\\start_game.vgz");
        std::vector<std::string> heard;
        for (const VirtualCall& call : plays) heard.push_back(call.label);
        ASSERT_EQ(heard, expected);

        uint64_t end = plays[0].timeMs + kGameOverMs;
        for (size_t i = 1; i + 2 < plays.size(); ++i) {
            EXPECT_GE(plays[i].timeMs, end) << plays[i].label;
            EXPECT_LE(plays[i].timeMs, end + kTickMs) << plays[i].label;
            end = plays[i].timeMs + (i == 1 ? kScoreIntroMs : kNumberMs);
        }
        auto sleeps = VirtualCallsOf("Sleep");
        ASSERT_EQ(sleeps.size(), 1u);
        EXPECT_EQ(sleeps[0].a, 1000);
        EXPECT_GE(sleeps[0].timeMs, end);
        EXPECT_LE(sleeps[0].timeMs, end + kTickMs);
        const VirtualCall& music = plays[plays.size() - 2];
        EXPECT_EQ(music.x, kPlayLooping);
        EXPECT_EQ(music.timeMs, sleeps[0].timeMs + 1000);
        EXPECT_EQ(plays.back().timeMs, sleeps[0].timeMs + 1000);
        EXPECT_EQ(VirtualLiveBuffers(), 50);
    }

    void StartGameFromMenu() {
        VirtualClearCalls();
        Press(kKeyEnter);
        ASSERT_EQ(g_mode, MODE_LEVEL);
        EXPECT_FALSE(VirtualCallsOf("Stop", "menu\\bgrn.vgz").empty());
        EXPECT_EQ(g_lives, 3);
        EXPECT_EQ(g_score, 0);
    }
};

}  // namespace

TEST_F(Session, ThreeGamesFromTheIntroBackToTheMenu) {
    // The intro at the first paint, cut by Ctrl; the instructions, then Start game.
    VirtualRunFor(0);
    EXPECT_EQ(PlayedFiles(), (std::vector<std::string>{"game\\game_intro.vgz"}));
    Press(kKeyCtrl);
    EXPECT_EQ(g_mode, MODE_MENU);
    ASSERT_TRUE(RunUntil([] { return !Plays("menu\\start_game.vgz").empty(); }, 2000));
    auto instructions = Plays("menu\\arrows.vgz");
    ASSERT_EQ(instructions.size(), 1u);
    EXPECT_LE(Plays("menu\\start_game.vgz")[0].timeMs, instructions[0].timeMs + 1000 + kTickMs);

    // First game: right answers on all three sides, a wrong side, a wrong letter, and a
    // character missed after its ninth play.
    srand(2);  // a generator state that brings all three sides early
    StartGameFromMenu();
    std::set<int> sides;
    while (sides.size() < 3) {
        sides.insert(g_charPan);
        AnswerRightlyOnTheLadder();
        ASSERT_LT(g_score, 600) << "one side never came";
    }
    ClimbTo(600);
    Type(g_characters[g_charIndex].keyCode);
    Press(WrongSideKey());
    EXPECT_EQ(g_lives, 2);
    Type(g_characters[g_charIndex].keyCode == kKey0 ? kKey0 + 1 : kKey0);
    Press(SideKey());
    EXPECT_EQ(g_lives, 1);
    EXPECT_EQ(g_score, 600);
    ASSERT_NO_FATAL_FAILURE(AnswerThenMiss({-800, -700, -600, -500, -400, -300, -200, -100, 0}));
    ASSERT_NO_FATAL_FAILURE(ExpectGameOverScoreAndMenu({"7", "hundred"}));

    // Second game: the repeats rise by 150, 200 and 250.
    StartGameFromMenu();
    ClimbTo(1000 - 100);
    ASSERT_NO_FATAL_FAILURE(AnswerThenMiss({-800, -650, -500, -350, -200, -50}));
    ClimbTo(2000 - 100);
    ASSERT_NO_FATAL_FAILURE(AnswerThenMiss({-800, -600, -400, -200, 0}));
    ClimbTo(3000 - 100);
    ASSERT_NO_FATAL_FAILURE(AnswerThenMiss({-800, -550, -300, -50}));
    ASSERT_NO_FATAL_FAILURE(ExpectGameOverScoreAndMenu({"3", "thousand"}));

    // Third game: by 300, 400 and 500, the whole table in play at the end.
    StartGameFromMenu();
    ClimbTo(4000 - 100);
    ASSERT_NO_FATAL_FAILURE(AnswerThenMiss({-800, -500, -200}));
    ClimbTo(5000 - 100);
    ASSERT_NO_FATAL_FAILURE(AnswerThenMiss({-800, -400, 0}));
    ClimbTo(6000 - 100);
    ASSERT_NO_FATAL_FAILURE(AnswerThenMiss({-800, -300}));
    EXPECT_EQ(g_charPoolSize, 47);
    ASSERT_NO_FATAL_FAILURE(ExpectGameOverScoreAndMenu({"6", "thousand"}));
}
