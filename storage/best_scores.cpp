// Reading best.dat, merging a game's score into it and writing it back.
#include "storage/best_scores.h"

#include <string>

#include "platform/platform.h"
#include "storage/file_bytes.h"
#include "storage/player_files.h"

int g_bestScores[kBestSlotCount];
int g_bestLastIndex;

std::string BestFilePath() {
    return PlayerFilePath("best.dat");
}

int ReadBestScores() {
    for (int& slot : g_bestScores) slot = -1;
    std::vector<uint8_t> stored;
    if (ReadFileHead(BestFilePath(), kBestSlotCount * kBestRecordBytes, &stored) ==
        kFileNotOpened) {
        return 0;
    }
    g_bestLastIndex = ParseBestFile(stored.data(), stored.size(), g_bestScores) - 1;
    if (g_bestLastIndex == -1) {
        // An empty file reads as one entry of 0.
        g_bestLastIndex = 0;
        g_bestScores[0] = 0;
    }
    return 1;
}

void WriteBestScores() {
    const std::string path = BestFilePath();
    // Everything a write changes lies in the scrambled head; bytes after it stay as they are.
    std::vector<uint8_t> stored;
    bool wholeFile = false;
    if (ReadFileHead(path, kBestScrambledBytes, &stored, &wholeFile) != kFileReadWhole) return;
    std::vector<uint8_t> next = ComposeBestFile(stored.data(), stored.size(), g_bestScores);
    if (next == stored) return;
    // Where it can be, one replacement: best.dat holds the old list or the new one, never a
    // mixture.
    WriteFileHead(path, next, wholeFile);
}

void SortBestScores() {
    for (int i = 0; i < kBestSlotCount; ++i) {
        for (int j = i; j < kBestSlotCount; ++j) {
            if (g_bestScores[i] < g_bestScores[j]) {
                int higher = g_bestScores[j];
                g_bestScores[j] = g_bestScores[i];
                g_bestScores[i] = higher;
            }
        }
    }
}

void UpdateBestScores(int score) {
    if (!ReadBestScores()) return;
    // Below ten entries the score takes the free slot after the last; with ten or more it
    // competes with the tenth, the lowest in any list the game has written.
    if (g_bestLastIndex < 9) ++g_bestLastIndex;
    if (score > g_bestScores[g_bestLastIndex]) g_bestScores[g_bestLastIndex] = score;
    SortBestScores();
    WriteBestScores();
}
