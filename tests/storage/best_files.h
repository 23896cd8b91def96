// best.dat as the tests write and expect it: 7-byte records (text, NUL, zero filler), the first
// 100 bytes scrambled with the key 9, 4, 21, 7, 15, 2, 24, 12, 6, 20.
#pragma once

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "app/game_app.h"
#include "tests/support/test_pack.h"

inline const unsigned char kTestBestKey[10] = {9, 4, 21, 7, 15, 2, 24, 12, 6, 20};

inline std::string Scrambled(std::string bytes) {
    for (size_t j = 0; j < bytes.size() && j < 100; ++j) bytes[j] += kTestBestKey[j % 10];
    return bytes;
}

inline std::string Unscrambled(std::string bytes) {
    for (size_t j = 0; j < bytes.size() && j < 100; ++j) bytes[j] -= kTestBestKey[j % 10];
    return bytes;
}

inline std::string PlainRecords(const std::vector<int>& scores) {
    std::string plain;
    for (int score : scores) {
        std::string record = std::to_string(score);
        record.resize(7, '\0');
        plain += record;
    }
    return plain;
}

inline std::string StoredList(const std::vector<int>& scores) {
    return Scrambled(PlainRecords(scores));
}

// A fresh program folder for one test; g_programDir points at it.
struct ProgramFolder {
    std::string dir = MakeScratchDir();
    ProgramFolder() { g_programDir = dir; }
    ~ProgramFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }
    std::string Best() const { return dir + "best.dat"; }
    std::string Config() const { return dir + "config.dat"; }
};
