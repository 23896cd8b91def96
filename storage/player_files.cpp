// Where the player's own files live.
#include "storage/player_files.h"

#include "platform/platform.h"

std::string g_playerDir;

std::string PlayerFilePath(const char* name) {
    return (g_playerDir.empty() ? g_programDir : g_playerDir) + name;
}
