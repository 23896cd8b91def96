// Reading config.dat.
#include "storage/player_details.h"

#include "platform/platform.h"

int ReadPlayerDetailsFile(std::string fields[kPlayerDetailsFieldCount]) {
    const std::string path = g_programDir + "config.dat";
    PlatformFile file = PlatformOpenRead(path.c_str());
    if (!file) return 0;
    static uint8_t buffer[kMaxDetailsFileBytes];
    long got = PlatformRead(file, buffer, sizeof buffer);
    PlatformClose(file);
    if (got <= 0) return 0;
    return ParsePlayerDetails(buffer, static_cast<size_t>(got), fields);
}
