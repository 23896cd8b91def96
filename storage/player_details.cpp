// Reading config.dat and building the first request's URL from it.
#include "storage/player_details.h"

#include <string>

#include "online/submit.h"
#include "platform/platform.h"

int ReadPlayerDetails() {
    const std::string path = g_programDir + "config.dat";
    PlatformFile file = PlatformOpenRead(path.c_str());
    if (!file) return 0;
    static uint8_t buffer[kMaxDetailsFileBytes];
    long got = PlatformRead(file, buffer, sizeof buffer);
    PlatformClose(file);
    if (got <= 0) return 0;

    std::string fields[kPlayerDetailsFieldCount];
    if (!ParsePlayerDetails(buffer, static_cast<size_t>(got), fields)) return 0;
    BuildSubmitUrl(fields[0].c_str(), fields[1].c_str(), fields[2].c_str(), fields[3].c_str());
    return 1;
}
