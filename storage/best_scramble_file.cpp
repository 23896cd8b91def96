// Scrambling and unscrambling the head of best.dat on disk, as one replacement of the file
// where it can be.
#include <string>

#include "storage/best_scores.h"
#include "storage/file_bytes.h"

static int TransformBestFile(void (*transform)(uint8_t*, size_t)) {
    const std::string path = BestFilePath();
    std::vector<uint8_t> bytes;
    bool wholeFile = false;
    if (ReadFileHead(path, kBestScrambledBytes, &bytes, &wholeFile) != kFileReadWhole) return 0;
    if (bytes.empty()) return 1;
    transform(bytes.data(), bytes.size());
    return WriteFileHead(path, bytes, wholeFile);
}

int ScrambleBestFile() {
    return TransformBestFile(ScrambleBestBytes);
}

int UnscrambleBestFile() {
    return TransformBestFile(UnscrambleBestBytes);
}
