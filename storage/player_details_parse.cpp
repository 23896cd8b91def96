// Splitting config.dat into the player's four details.
#include "storage/player_details.h"

static bool EndsField(uint8_t byte) {
    return byte == '\n' || byte == '`';
}

int ParsePlayerDetails(const uint8_t* bytes, size_t count,
                       std::string fields[kPlayerDetailsFieldCount]) {
    if (count > kMaxDetailsFileBytes) count = kMaxDetailsFileBytes;
    if (count == 0) return 0;
    // The file's final byte (its closing line feed when well formed) is always dropped.
    size_t length = 0;
    while (length < count - 1 && bytes[length] != 0) ++length;
    if (length == 0 || length > kMaxDetailsTextChars) return 0;

    std::string found[kPlayerDetailsFieldCount];
    size_t pos = 0;
    for (std::string& field : found) {
        size_t end = pos;
        while (end < length && !EndsField(bytes[end])) ++end;
        if (end - pos > kMaxDetailsFieldChars) return 0;
        field.assign(bytes + pos, bytes + end);
        pos = end + 1;
    }
    for (int i = 0; i < kPlayerDetailsFieldCount; ++i) fields[i] = found[i];
    return 1;
}
