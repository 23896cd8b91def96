// best.dat: the best scores, scrambled on disk.
#pragma once

constexpr int kBestSlotCount = 11;
constexpr int kBestRecordBytes = 7;
constexpr int kBestScrambledBytes = 100;
extern const unsigned char kBestKey[10];

extern int g_bestScores[kBestSlotCount];
extern int g_bestLastIndex;

int ReadBestScores();
void WriteBestScores();
void UpdateBestScores();
void SortBestScores();
int ScrambleBestFile();
int UnscrambleBestFile();
