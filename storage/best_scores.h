// best.dat: the best scores, scrambled on disk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr int kBestSlotCount = 11;
constexpr int kBestRecordBytes = 7;
constexpr int kBestScrambledBytes = 100;
// A record holds the score's text and its NUL in 7 bytes, so six characters at most.
constexpr int kBestHighestStoredScore = 999999;
constexpr int kBestLowestStoredScore = -99999;
extern const unsigned char kBestKey[10];

extern int g_bestScores[kBestSlotCount];
extern int g_bestLastIndex;

// 1 when best.dat opened for reading; fills g_bestScores (-1 in empty slots) and
// g_bestLastIndex. An empty file reads as one entry of 0. Never writes the file.
// best.dat in the program folder.
std::string BestFilePath();

int ReadBestScores();
// Writes the filled slots of g_bestScores into best.dat: as one replacement of the whole file
// where the program folder lets a temporary file be made beside it, else in place.
void WriteBestScores();
// Merges `score` into best.dat (nothing when the file is missing or cannot be written).
void UpdateBestScores(int score);
// Sorts the 11 slots highest first; empty slots (-1) end up last.
void SortBestScores();
// Scramble or unscramble the head of best.dat on disk (1 done or nothing to do, 0 when the
// file could not be read or written). The game itself never needs them: it works in memory.
int ScrambleBestFile();
int UnscrambleBestFile();

// The same transforms on bytes in memory: only the first 100 bytes change.
void ScrambleBestBytes(uint8_t* bytes, size_t count);
void UnscrambleBestBytes(uint8_t* bytes, size_t count);
// Takes the records from the stored bytes of best.dat into slots (-1 where there is none).
// Returns the number of whole records taken, at most 11; later records are ignored.
int ParseBestFile(const uint8_t* stored, size_t count, int slots[kBestSlotCount]);
// The stored bytes best.dat holds after the slots, up to the first -1, have been written over
// `stored`: the plain records over its start, then its first 100 bytes scrambled.
std::vector<uint8_t> ComposeBestFile(const uint8_t* stored, size_t count,
                                     const int slots[kBestSlotCount]);
