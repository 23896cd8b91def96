#include "storage/file_bytes.h"

#include <algorithm>

#include "platform/platform.h"

FileBytesResult ReadFileHead(const std::string& path, size_t limit, std::vector<uint8_t>* out) {
    out->clear();
    PlatformFile file = PlatformOpenRead(path.c_str());
    if (!file) return kFileNotOpened;
    FileBytesResult result = kFileReadWhole;
    uint8_t chunk[4096];
    while (out->size() < limit) {
        size_t want = std::min(sizeof chunk, limit - out->size());
        long got = PlatformRead(file, chunk, want);
        if (got < 0) {
            result = kFileReadFailed;
            break;
        }
        if (got == 0) break;
        out->insert(out->end(), chunk, chunk + got);
    }
    PlatformClose(file);
    return result;
}
