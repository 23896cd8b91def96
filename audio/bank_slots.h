// The slots of the sound banks by name, one set per bank, for the entries that the game picks
// out one by one. The catalogue (audio/catalogue.cpp) gives each slot's file.
#pragma once

#include "platform/game_symbols.h"

// g_menuSounds: an item's phrase lies in the slot of the item's number (g_menuIndex).
enum MenuSlot {
    kMenuSlotInstructions = 0,
    kMenuSlotStartGame = 1,
    kMenuSlotPractise = 2,  // 3 holds a copy of Start game that never plays
    kMenuSlotTestSpeakers = 4,
    kMenuSlotLearnGameSounds = 5,
    kMenuSlotFinalScore = 6,
    kMenuSlotViewTopTen = 7,
    kMenuSlotSendScore = 8,
    kMenuSlotQuit = 9,
    kMenuSlotMusic = 10,  // 11 holds a copy of it that never plays
};

// g_scoreSounds: the spoken numbers zero to twenty and thirty to ninety, then the words.
enum ScoreSlot {
    kScoreSlotZero = 0,  // zero to twenty: the number's own slot (NumberSlot)
    kScoreSlotTwenty = 20,
    kScoreSlotThirty = 21,  // thirty to ninety: the tens (TensSlot)
    kScoreSlotNinety = 27,
    kScoreSlotHundred = 28,
    kScoreSlotThousand = 29,
    kScoreSlotFinalScoreIntro = 30,
    kScoreSlotTopTenIntro = 31,
    kScoreSlotCurrentScore = 32,
    kScoreSlotPoints = 33,
    kScoreSlotLivesRemaining = 34,
    kScoreSlotReturnToMenu = 35,
    kScoreSlotMadeIt = 36,
    kScoreSlotNotEnough = 37,
};

// The slot of the spoken number n, 0 to 20.
constexpr int NumberSlot(int n) {
    return kScoreSlotZero + n;
}

// The slot of the spoken tens, 2 (twenty) to 9 (ninety).
constexpr int TensSlot(int tens) {
    return kScoreSlotThirty + (tens - 3);
}

// g_levelSounds: the music and the cues (g_characters gives the characters' slots).
enum LevelSlot {
    kLevelSlotBackground = 0,
    kLevelSlotKeyClick = 1,
    kLevelSlotAnswerCue = 2,
    kLevelSlotErrorCue = 3,
    kLevelSlotSuccessCue = 4,
    kLevelSlotFirstSymbol = 5,  // the ten symbols in the order of kGameSymbols: SymbolSlot
    kLevelSlotLastSymbol = 14,
    kLevelSlotLetterA = 15,  // A to Z: LetterSlot
    kLevelSlotLetterZ = 40,
    kLevelSlotDigit0 = 41,  // 0 to 9: DigitSlot
    kLevelSlotDigit9 = 50,
};

static_assert(kLevelSlotLastSymbol - kLevelSlotFirstSymbol + 1 == kGameSymbolCount);

// The slot of the spoken symbol kGameSymbols[n].
constexpr int SymbolSlot(int n) {
    return kLevelSlotFirstSymbol + n;
}

// The slot of the spoken letter A + n, n 0 to 25.
constexpr int LetterSlot(int n) {
    return kLevelSlotLetterA + n;
}

// The slot of the spoken digit n, 0 to 9.
constexpr int DigitSlot(int n) {
    return kLevelSlotDigit0 + n;
}

// g_learnSounds: items 0 to 4 are spoken in turn; each of the first four names a cue
// (LearnCueSlot), the last names the way back to the menu.
enum LearnSlot {
    kLearnSlotKeyClickItem = 0,
    kLearnSlotAnswerCueItem = 1,
    kLearnSlotSuccessCueItem = 2,
    kLearnSlotErrorCueItem = 3,
    kLearnSlotReturnItem = 4,
    kLearnSlotKeyClick = 5,  // the files of the level bank's cues
    kLearnSlotAnswerCue = 6,
    kLearnSlotSuccessCue = 7,
    kLearnSlotErrorCue = 8,
};

// The slot of the cue that learn item `item` (0 to 3) names.
constexpr int LearnCueSlot(int item) {
    return kLearnSlotKeyClick + (item - kLearnSlotKeyClickItem);
}

// g_submitSounds.
enum SubmitSlot {
    kSubmitSlotPrompt = 0,
    kSubmitSlotSending = 1,
    kSubmitSlotConfigFirst = 2,
};

// g_practiceSounds: what a practice round says besides the level's sounds.
enum PracticeSlot {
    kPracticeSlotExplanation = 0,
    kPracticeSlotWeakest = 1,
    kPracticeSlotLeft = 2,  // a side and its answer key
    kPracticeSlotCentre = 3,
    kPracticeSlotRight = 4,
};

// g_speakerTestSounds, in the order they play.
enum SpeakerTestSlot {
    kSpeakerTestSlotFrontLeft = 0,
    kSpeakerTestSlotFrontRight = 1,
    kSpeakerTestSlotRearLeft = 2,
    kSpeakerTestSlotRearRight = 3,
};
