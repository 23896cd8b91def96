// Reading config.dat.
#include "storage/player_details.h"

#include "platform/platform.h"
#include "storage/player_files.h"

int ReadPlayerDetailsFile(std::string fields[kPlayerDetailsFieldCount]) {
    const std::string path = PlayerFilePath("config.dat");
    PlatformFile file = PlatformOpenRead(path.c_str());
    if (!file) return 0;
    static uint8_t buffer[kMaxDetailsFileBytes];
    long got = PlatformRead(file, buffer, sizeof buffer);
    PlatformClose(file);
    if (got <= 0) return 0;
    return ParsePlayerDetails(buffer, static_cast<size_t>(got), fields);
}
