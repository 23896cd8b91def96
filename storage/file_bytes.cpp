#include "storage/file_bytes.h"

#include <algorithm>

#include "platform/platform.h"

FileBytesResult ReadFileHead(const std::string& path, size_t limit, std::vector<uint8_t>* out,
                             bool* endsWithin) {
    out->clear();
    const size_t wanted = limit;
    if (endsWithin && limit < SIZE_MAX) ++limit;
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
    if (endsWithin) *endsWithin = out->size() <= wanted;
    if (out->size() > wanted) out->resize(wanted);
    return result;
}

int WriteFileHead(const std::string& path, const std::vector<uint8_t>& head, bool wholeFile) {
    if (wholeFile && PlatformReplaceFile(path.c_str(), head.data(), head.size())) return 1;
    PlatformFile file = PlatformOpenWriteExisting(path.c_str());
    if (!file) return 0;
    bool ok = PlatformWrite(file, head.data(), head.size()) == static_cast<long>(head.size());
    ok = PlatformFlush(file) && ok;
    PlatformClose(file);
    return ok ? 1 : 0;
}
