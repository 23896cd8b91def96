// The stored form of best.dat: 7-byte decimal records, the first 100 bytes of the file
// scrambled with an additive key.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "storage/best_scores.h"

const unsigned char kBestKey[10] = {9, 4, 21, 7, 15, 2, 24, 12, 6, 20};

static size_t ScrambledCount(size_t count) {
    return count < kBestScrambledBytes ? count : kBestScrambledBytes;
}

void ScrambleBestBytes(uint8_t* bytes, size_t count) {
    for (size_t j = 0; j < ScrambledCount(count); ++j) bytes[j] = bytes[j] + kBestKey[j % 10];
}

void UnscrambleBestBytes(uint8_t* bytes, size_t count) {
    for (size_t j = 0; j < ScrambledCount(count); ++j) bytes[j] = bytes[j] - kBestKey[j % 10];
}

int ParseBestFile(const uint8_t* stored, size_t count, int slots[kBestSlotCount]) {
    for (int i = 0; i < kBestSlotCount; ++i) slots[i] = -1;
    size_t head =
        count < kBestSlotCount * kBestRecordBytes ? count : kBestSlotCount * kBestRecordBytes;
    uint8_t plain[kBestSlotCount * kBestRecordBytes];
    if (head > 0) std::memcpy(plain, stored, head);  // an empty file may come as no pointer
    UnscrambleBestBytes(plain, head);

    int records = 0;
    for (; (records + 1) * kBestRecordBytes <= static_cast<int>(head); ++records) {
        // The record's last byte becomes a line feed and the text is closed right after it,
        // so a record of blanks cannot run the number on into the next record.
        char text[kBestRecordBytes + 1];
        std::memcpy(text, plain + records * kBestRecordBytes, kBestRecordBytes);
        text[kBestRecordBytes - 1] = '\n';
        text[kBestRecordBytes] = '\0';
        slots[records] = std::atoi(text);
    }
    return records;
}

static void FormatBestRecord(int score, uint8_t record[kBestRecordBytes]) {
    if (score > kBestHighestStoredScore) score = kBestHighestStoredScore;
    if (score < kBestLowestStoredScore) score = kBestLowestStoredScore;
    char text[kBestRecordBytes + 1] = {};  // the filler after the NUL stays zero
    std::snprintf(text, sizeof text, "%d", score);
    std::memcpy(record, text, kBestRecordBytes);
}

std::vector<uint8_t> ComposeBestFile(const uint8_t* stored, size_t count,
                                     const int slots[kBestSlotCount]) {
    // The result is what writing the plain records over the stored file and then scrambling
    // its head would leave: bytes past the records keep their stored value and get scrambled
    // once more where they lie in the first 100; bytes from 100 on stay as they were.
    std::vector<uint8_t> file(stored, stored + count);
    int filled = 0;
    while (filled < kBestSlotCount && slots[filled] != -1) ++filled;
    if (file.size() < static_cast<size_t>(filled * kBestRecordBytes)) {
        file.resize(filled * kBestRecordBytes);
    }
    for (int i = 0; i < filled; ++i) FormatBestRecord(slots[i], &file[i * kBestRecordBytes]);
    ScrambleBestBytes(file.data(), file.size());
    return file;
}
