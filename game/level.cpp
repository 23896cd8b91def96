// Level play: the level bank, drawing and repeating characters, typed keys and answers, and the
// difficulty ladder. A practice round plays through the same steps, without lives or score.
#include "game/level.h"

#include <cstdlib>

#include "audio/banks.h"
#include "audio/music.h"
#include "game/level_internal.h"
#include "game/state.h"
#include "platform/key_codes.h"
#include "platform/platform.h"
#include "storage/char_stats.h"

int g_lives = 0;
int g_charIndex = 0;
int g_charPoolSize = 0;
int g_volumeStep = 0;
int g_charPan = 0;
int g_charVolume = 0;
int g_lastTypedKey = 0;

namespace {

constexpr int kStartVolumeStep = 100;

// The difficulty ladder: on reaching exactly `score`, the pool and the repeat step change
// (0 leaves a value as it was).
struct DifficultyStep {
    int score;
    int poolSize;
    int volumeStep;
};

constexpr DifficultyStep kDifficultyLadder[] = {
    // score  pool  step
    {500, 10, 0},     // A to J
    {1000, 0, 150},   //
    {1200, 20, 0},    // A to T
    {2000, 0, 200},   //
    {2500, 30, 0},    // A to Z, 0 to 3
    {3000, 0, 250},   //
    {4000, 37, 300},  // A to Z, 0 to 9
    {5000, 0, 400},   //
    {6000, 47, 500},  // the whole table
};

// The level bank is loaded in three passes: cues and symbols, the letters, the digits.
struct LoadPass {
    int first;
    int last;
};
constexpr LoadPass kLoadPasses[] = {
    {kLevelSlotBackground, kLevelSlotLastSymbol},
    {kLevelSlotLetterA, kLevelSlotLetterZ},
    {kLevelSlotDigit0, kLevelSlotDigit9},
};

int DrawPan() {
    switch (rand() % 3) {
        case 0:
            return kPanLeft;
        case 1:
            return 0;
        default:
            return kPanRight;
    }
}

Sound LevelSound(int slot) {
    return g_levelSounds[slot].sound;
}

Sound CharacterSound() {
    return LevelSound(g_characters[g_charIndex].soundSlot);
}

void PlayCue(int slot) {
    PlaySoundOnce(LevelSound(slot), 0, 0);
}

void Judge(bool sideMatches) {
    const bool characterMatches = g_lastTypedKey == g_characters[g_charIndex].keyCode;
    if (sideMatches && characterMatches) {
        CorrectAnswer();
        return;
    }
    RecordOutcome(characterMatches ? kOutcomeWrongSide : kOutcomeOtherCharacter);
    WrongAnswer();
}

}  // namespace

int LoadLevelSounds() {
    g_levelListener = CreateListener();
    if (!g_levelListener) return 0;
    for (const LoadPass& pass : kLoadPasses) {
        for (int slot = pass.first; slot <= pass.last; ++slot) {
            g_levelSounds[slot] = {LoadSound(kLevelSoundFiles[slot]), nullptr, 0};
            if (!g_levelSounds[slot].sound) {
                UnloadLevelSounds();
                return 0;
            }
        }
    }
    return 1;
}

void UnloadLevelSounds() {
    ReleaseSlotBank(g_levelSounds, kLevelSoundCount);
    if (g_levelListener) {
        PlatformListenerRelease(g_levelListener);
        g_levelListener = nullptr;
    }
}

void StopLevelSounds() {
    // Every sound after the music.
    for (int slot = kLevelSlotKeyClick; slot < kLevelSoundCount; ++slot)
        StopSound(LevelSound(slot));
}

bool Practising() {
    return g_mode == MODE_PRACTICE;
}

int StartLevel() {
    if (!LoadLevelSounds()) return 0;
    BuildCharacterTable();
    ReadCharacterStats();
    g_levelPaused = 0;
    g_tickEnabled = 1;
    // A practice round keeps the last game's score, to be spoken or sent.
    if (!Practising()) g_score = 0;
    g_charPoolSize = kStartPoolSize;
    g_volumeStep = kStartVolumeStep;
    g_lives = kStartLives;
    PlayMusicLooping(LevelSound(kLevelSlotBackground));
    // A practice round explains itself before its first character.
    if (!Practising()) NextCharacter();
    return 1;
}

void NextCharacter() {
    // Entry 36 holds no character (its sound would be the background music and no key answers
    // it), so a draw that lands on it draws the character again; the side follows.
    do {
        g_charIndex = Practising() ? DrawPracticeCharacter() : rand() % g_charPoolSize;
    } while (g_charIndex == kUnusedCharacter);
    g_charPan = DrawPan();
    g_charVolume = kStartVolume;
    PlaySoundOnce(CharacterSound(), g_charPan, g_charVolume);
}

void RepeatCharacter() {
    const int heardPan = g_charPan;
    g_charPan = DrawPan();
    g_charVolume += g_volumeStep;
    if (g_charVolume > 0) {
        // A practice round tells the character from the side it was last heard from.
        if (Practising()) g_charPan = heardPan;
        RecordOutcome(kOutcomeMissed);
        WrongAnswer();
        return;
    }
    PlaySoundOnce(CharacterSound(), g_charPan, g_charVolume);
}

int LevelTick() {
    if (g_levelPaused) return 1;
    if (g_lives < 1) {
        EndGame();
        return 1;
    }
    if (!IsSoundPlaying(CharacterSound())) RepeatCharacter();
    return 1;
}

int LevelKeyDown(int key) {
    switch (key) {
        case kKeyEnter:
            PlayCue(kLevelSlotAnswerCue);
            AnswerRight();
            break;
        case kKeyCtrl:
            PlayCue(kLevelSlotAnswerCue);
            AnswerLeft();
            break;
        case kKeySpace:
            PlayCue(kLevelSlotAnswerCue);
            AnswerCentre();
            break;
        case kKeyEscape:
            EndGame();
            break;
        case kKeyShift:
            // Held while a character is typed; its auto-repeat must not wipe that key.
            break;
        default:
            // The platform hands over what the player typed: the code the character table holds
            // for each of its characters, with Shift or AltGr as the layout needs them.
            PlayCue(kLevelSlotKeyClick);
            g_lastTypedKey = key;
            break;
    }
    return 1;
}

void LevelKeyUp(int /*key*/) {}

void AnswerLeft() {
    Judge(g_charPan < -1);
}
void AnswerCentre() {
    Judge(g_charPan == 0);
}
void AnswerRight() {
    Judge(g_charPan > 1);
}

void CorrectAnswer() {
    PlaySoundOnce(LevelSound(kLevelSlotSuccessCue), g_charPan, g_charVolume);
    RecordOutcome(kOutcomeRight);
    if (!Practising()) {
        g_score += kPointsPerCharacter;
        for (const DifficultyStep& step : kDifficultyLadder) {
            if (step.score != g_score) continue;
            if (step.poolSize) g_charPoolSize = step.poolSize;
            if (step.volumeStep) g_volumeStep = step.volumeStep;
        }
    }
    NextCharacter();
}

void WrongAnswer() {
    PlaySoundOnce(LevelSound(kLevelSlotErrorCue), g_charPan, g_charVolume);
    if (Practising()) {
        TellCharacter();
        return;
    }
    g_lives -= 1;
    NextCharacter();
}
