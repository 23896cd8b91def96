// Where the player's own files live.
#include "storage/player_files.h"

#include "platform/platform.h"

std::string g_playerDir;

std::string PlayerFilePath(const char* name) {
    return (g_playerDir.empty() ? g_programDir : g_playerDir) + name;
}

std::string ChoosePlayerDir() {
    g_playerDir.clear();
    if (PlatformFolderWritable(g_programDir)) return g_programDir;
    g_playerDir = PlatformPlayerDataDir();
    // The game records scores only into a best.dat that exists, as beside the program.
    if (!g_playerDir.empty() && PlatformMakePrivateFolder(g_playerDir))
        PlatformCreateEmptyFile(PlayerFilePath("best.dat").c_str());
    return g_playerDir.empty() ? g_programDir : g_playerDir;
}
