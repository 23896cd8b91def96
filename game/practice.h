// The practice round: level play without lives or score that drills the characters the player
// misses most, tells each one missed, and names the weakest at its end.
#pragma once

enum PracticeStep {
    kPracticeExplaining,  // the round's explanation, before the first character
    kPracticeAsking,      // level play
    kPracticeTelling,     // a wrong answer or miss: the character again and its side named
    kPracticeEnding,      // after Escape: the weakest characters named
};

extern int g_practiceStep;

// 1 when the round runs; 0 when its sounds did not load (nothing is then loaded).
int StartPractice();
int PracticeKeyDown(int key);
void PracticeTick();
void ReleasePracticeSounds();
