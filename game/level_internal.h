// The steps of level play and game over that the level's own files share.
#pragma once

// The entry of g_characters that holds no character; draws never present it.
constexpr int kUnusedCharacter = 36;

// The level bank's slots that are not characters.
enum {
    kLevelSlotBackground = 0,
    kLevelSlotKeyClick = 1,
    kLevelSlotAnswerCue = 2,
    kLevelSlotErrorCue = 3,
    kLevelSlotSuccessCue = 4,
};

void BuildCharacterTable();
void NextCharacter();
void RepeatCharacter();
void AnswerLeft();
void AnswerCentre();
void AnswerRight();
void CorrectAnswer();
void WrongAnswer();
void EndGame();
void GameOver();
