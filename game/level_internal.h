// The steps of level play, game over and the practice round that the level's own files share.
#pragma once

#include "audio/bank_slots.h"

// The entry of g_characters that holds no character; draws never present it.
constexpr int kUnusedCharacter = 36;
// A game draws from the first five entries at first (A to E).
constexpr int kStartPoolSize = 5;

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

// The character of an entry of g_characters ('A', '7', ';'); 0 for the unused entry.
char CharacterOf(int entry);
// The entry a typed key code answers, -1 for none.
int EntryOfKey(int keyCode);

// 1 while a practice round runs: level play without lives or score.
bool Practising();

// How the character being asked ended, as the player's record (stats.dat) counts it.
enum Outcome { kOutcomeRight, kOutcomeOtherCharacter, kOutcomeWrongSide, kOutcomeMissed };
void RecordOutcome(Outcome outcome);
// A practice round's draw: an entry the player has met, weighted toward those they miss.
int DrawPracticeCharacter();
// Up to three entries, the most often missed first; returns how many.
int WeakestCharacters(int entries[3]);
// After a wrong answer or a miss in a practice round: the character and its side told.
void TellCharacter();
