// Any best.dat, however damaged, reads as at most eleven numbers that fit a record, and writing
// them back gives a file that reads as the same list.
#include <vector>

#include "storage/best_scores.h"
#include "tests/fuzz/require.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    int slots[kBestSlotCount];
    const int records = ParseBestFile(data, size, slots);
    const size_t whole = size / kBestRecordBytes;
    Require(records == static_cast<int>(whole < kBestSlotCount ? whole : kBestSlotCount));
    for (int i = 0; i < kBestSlotCount; ++i) {
        if (i >= records) Require(slots[i] == -1);
        Require(slots[i] >= kBestLowestStoredScore && slots[i] <= kBestHighestStoredScore);
    }

    std::vector<uint8_t> next = ComposeBestFile(data, size, slots);
    Require(next.size() >= size);
    for (size_t j = kBestScrambledBytes; j < size; ++j) Require(next[j] == data[j]);
    int again[kBestSlotCount];
    ParseBestFile(next.data(), next.size(), again);
    for (int i = 0; i < kBestSlotCount && slots[i] != -1; ++i) Require(again[i] == slots[i]);
    return 0;
}
