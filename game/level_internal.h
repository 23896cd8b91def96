// The steps of level play and game over that the level's own files share.
#pragma once

#include "audio/bank_slots.h"

// The entry of g_characters that holds no character; draws never present it.
constexpr int kUnusedCharacter = 36;

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
