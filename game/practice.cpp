// The practice round. Level play (game/level.cpp) asks, judges and records; this file adds what
// comes between: the explanation first, the character told after each wrong answer or miss, and
// the weakest characters named when Escape ends the round.
#include "game/practice.h"

#include <initializer_list>

#include "audio/banks.h"
#include "game/level.h"
#include "game/level_internal.h"
#include "game/menu.h"
#include "game/state.h"
#include "platform/key_codes.h"
#include "storage/char_stats.h"

int g_practiceStep = kPracticeAsking;

namespace {

struct Piece {
    Sound sound;
    int pan;
};

// Sounds played one after another on the tick; the first is already playing.
constexpr int kMostPieces = 4;
Piece s_pieces[kMostPieces];
int s_pieceCount = 0;
int s_piecePos = 0;

void FollowWith(std::initializer_list<Piece> pieces) {
    s_pieceCount = 0;
    for (const Piece& piece : pieces) s_pieces[s_pieceCount++] = piece;
    s_piecePos = 0;
}

// Starts the next piece once the one before has ended; true when the last has ended.
bool PiecesEnded() {
    if (IsSoundPlaying(s_pieces[s_piecePos].sound)) return false;
    if (++s_piecePos >= s_pieceCount) return true;
    PlaySoundOnce(s_pieces[s_piecePos].sound, s_pieces[s_piecePos].pan, 0);
    return false;
}

Sound CharacterSoundOf(int entry) {
    return g_levelSounds[g_characters[entry].soundSlot].sound;
}

void FinishPractice() {
    StopLevelSounds();
    UnloadLevelSounds();
    ReleasePracticeSounds();
    g_tickEnabled = 0;
    ReturnToMenu();
}

void EndPractice() {
    StopLevelSounds();
    StopSound(g_levelSounds[kLevelSlotBackground].sound);
    StopBank(g_practiceSounds, 0, kPracticeSoundCount - 1);
    WriteCharacterStats();
    int weakest[3];
    const int count = WeakestCharacters(weakest);
    if (count == 0) {
        FinishPractice();
        return;
    }
    g_practiceStep = kPracticeEnding;
    Sound phrase = g_practiceSounds[kPracticeSlotWeakest];
    PlaySoundOnce(phrase, 0, 0);
    FollowWith({{phrase, 0}});
    for (int n = 0; n < count; ++n) s_pieces[s_pieceCount++] = {CharacterSoundOf(weakest[n]), 0};
}

}  // namespace

int StartPractice() {
    if (!LoadBank(g_practiceSounds, kPracticeSoundFiles, kPracticeSoundCount,
                  ReleasePracticeSounds)) {
        return 0;
    }
    if (!StartLevel()) {
        ReleasePracticeSounds();
        return 0;
    }
    g_practiceStep = kPracticeExplaining;
    Sound explanation = g_practiceSounds[kPracticeSlotExplanation];
    PlaySoundOnce(explanation, 0, 0);
    FollowWith({{explanation, 0}});
    return 1;
}

void ReleasePracticeSounds() {
    ReleaseBank(g_practiceSounds, kPracticeSoundCount);
}

void TellCharacter() {
    g_practiceStep = kPracticeTelling;
    // The character stops, so that it is heard again whole after the error cue.
    StopSound(CharacterSoundOf(g_charIndex));
    const int side = g_charPan < -1   ? kPracticeSlotLeft
                     : g_charPan == 0 ? kPracticeSlotCentre
                                      : kPracticeSlotRight;
    FollowWith({{g_levelSounds[kLevelSlotErrorCue].sound, 0},
                {CharacterSoundOf(g_charIndex), g_charPan},
                {g_practiceSounds[side], g_charPan}});
}

int PracticeKeyDown(int key) {
    if (g_practiceStep == kPracticeEnding) {
        if (key == kKeyEscape) FinishPractice();
        return 1;
    }
    if (key == kKeyEscape) {
        EndPractice();
        return 1;
    }
    // During the explanation and while a character is told, other keys do nothing.
    if (g_practiceStep == kPracticeAsking) LevelKeyDown(key);
    return 1;
}

void PracticeTick() {
    if (g_levelPaused) return;
    switch (g_practiceStep) {
        case kPracticeAsking:
            LevelTick();
            break;
        case kPracticeExplaining:
        case kPracticeTelling:
            if (!PiecesEnded()) break;
            g_practiceStep = kPracticeAsking;
            NextCharacter();
            break;
        case kPracticeEnding:
            if (PiecesEnded()) FinishPractice();
            break;
    }
}
