// The slots of the sound banks by name, one set per bank, for the entries that the game picks
// out one by one. The catalogue (audio/catalogue.cpp) gives each slot's file.
#pragma once

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
};

// g_submitSounds.
enum SubmitSlot {
    kSubmitSlotPrompt = 0,
    kSubmitSlotSending = 1,
    kSubmitSlotConfigFirst = 2,
};
