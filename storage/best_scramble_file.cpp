// Scrambling and unscrambling the head of best.dat on disk, as one replacement of the file.
#include <string>

#include "app/game_app.h"
#include "platform/platform.h"
#include "storage/best_scores.h"
#include "storage/file_bytes.h"

static int TransformBestFile(void (*transform)(uint8_t*, size_t)) {
    const std::string path = g_programDir + "best.dat";
    std::vector<uint8_t> bytes;
    if (ReadFileHead(path, SIZE_MAX, &bytes) != kFileReadWhole) return 0;
    if (bytes.empty()) return 1;
    transform(bytes.data(), bytes.size());
    return PlatformReplaceFile(path.c_str(), bytes.data(), bytes.size());
}

int ScrambleBestFile() {
    return TransformBestFile(ScrambleBestBytes);
}

int UnscrambleBestFile() {
    return TransformBestFile(UnscrambleBestBytes);
}
