// Spoken numbers: the final score and the top-ten list.
#pragma once

enum SpeechKind { kSpeechFinalScore = 1, kSpeechTopTenEntry = 2 };

constexpr int kSpeechLength = 20;
constexpr int kSpeechEnd = -1;  // follows the last piece of g_speech

extern int g_speech[kSpeechLength];
extern int g_speechPos;
extern int g_topTenIndex;

void SayScore(SpeechKind kind);
void BuildScoreSpeech(SpeechKind kind);
void AnnouncerTick();
void AnnouncerKeyDown(int key);
void StopScoreSounds();
