// Where the player's own files live.
#include "storage/player_files.h"

#include <vector>

#include "platform/platform.h"
#include "storage/file_bytes.h"

std::string g_playerDir;

namespace {

constexpr const char* kPlayerFiles[] = {"best.dat", "config.dat", "settings.dat", "stats.dat"};
constexpr size_t kLongestCarried = 1 << 20;

// A player whose files were kept beside the program until its folder became read-only (an
// install made shared, a permissions change) finds them again: a file the player's folder
// lacks starts as a copy of the one beside the program. Nothing beside the program changes.
void CarryOver(const char* name) {
    const std::string target = PlayerFilePath(name);
    std::vector<uint8_t> unused;
    if (ReadFileHead(target, 1, &unused) != kFileNotOpened) return;
    std::vector<uint8_t> bytes;
    bool whole = false;
    if (ReadFileHead(g_programDir + name, kLongestCarried, &bytes, &whole) != kFileReadWhole ||
        !whole) {
        return;
    }
    PlatformWriteFile(target.c_str(), bytes.data(), bytes.size());
}

}  // namespace

std::string PlayerFilePath(const char* name) {
    return (g_playerDir.empty() ? g_programDir : g_playerDir) + name;
}

std::string ChoosePlayerDir() {
    g_playerDir.clear();
    if (PlatformFolderWritable(g_programDir)) return g_programDir;
    g_playerDir = PlatformPlayerDataDir();
    if (!g_playerDir.empty() && PlatformMakePrivateFolder(g_playerDir)) {
        for (const char* name : kPlayerFiles) CarryOver(name);
        // The game records scores only into a best.dat that exists, as beside the program.
        PlatformCreateEmptyFile(PlayerFilePath("best.dat").c_str());
    }
    return g_playerDir.empty() ? g_programDir : g_playerDir;
}
