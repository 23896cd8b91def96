// The end of a game: the level bank let go, the best scores merged, the player's record written,
// the game-over message, and the hand-over to the final score.
#include "audio/banks.h"
#include "game/announcer.h"
#include "game/level.h"
#include "game/level_internal.h"
#include "game/state.h"
#include "platform/key_codes.h"
#include "storage/best_scores.h"
#include "storage/char_stats.h"

namespace {

void SayFinalScore() {
    ReleaseSound(g_gameOverSound);
    g_gameOverSound = nullptr;
    g_mode = MODE_FINAL_SCORE;
    SayScore(kSpeechFinalScore);
}

}  // namespace

void EndGame() {
    StopLevelSounds();
    StopSound(g_levelSounds[kLevelSlotBackground].sound);
    UnloadLevelSounds();
    g_mode = MODE_GAME_OVER;
    GameOver();
}

void GameOver() {
    if (g_score > 0) UpdateBestScores(g_score);
    WriteCharacterStats();
    g_gameOverSound = LoadSound(kGameOverSoundFile);
    if (g_gameOverSound) {
        PlaySoundOnce(g_gameOverSound, 0, 0);
        g_tickEnabled = 1;
    }
}

void GameOverTick() {
    if (IsSoundPlaying(g_gameOverSound)) return;
    g_tickEnabled = 0;
    SayFinalScore();
}

void GameOverKeyDown(int key) {
    if (key == kKeyCtrl) SayFinalScore();
}
