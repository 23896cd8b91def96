// Reading and writing settings.dat.
#include "storage/settings.h"

#include <cstdlib>
#include <vector>

#include "audio/music.h"
#include "platform/platform.h"
#include "storage/file_bytes.h"
#include "storage/player_files.h"

namespace {

constexpr char kSettingsFile[] = "settings.dat";
constexpr char kMusicKey[] = "music=";
constexpr size_t kLongestFile = 64;  // a longer file is not one this game wrote

std::string SettingsPath() {
    return PlayerFilePath(kSettingsFile);
}

}  // namespace

std::string FormatMusicSetting(int level) {
    if (level == kMusicOff) return std::string(kMusicKey) + "off\n";
    return std::string(kMusicKey) + std::to_string(level) + "\n";
}

int ParseMusicSetting(const std::string& text) {
    std::string line = text;
    // One line, with the line end of either system or none.
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    if (line.compare(0, sizeof kMusicKey - 1, kMusicKey) != 0) return kMusicTop;
    const std::string value = line.substr(sizeof kMusicKey - 1);
    if (value == "off") return kMusicOff;
    if (value.empty() || value.size() > 4) return kMusicTop;
    if (value != "0" && (value[0] != '-' || value.size() < 2)) return kMusicTop;
    for (size_t i = value[0] == '-' ? 1 : 0; i < value.size(); ++i) {
        if (value[i] < '0' || value[i] > '9') return kMusicTop;
    }
    const int level = std::atoi(value.c_str());
    return level != kMusicOff && IsMusicLevel(level) ? level : kMusicTop;
}

int ReadMusicSetting() {
    std::vector<uint8_t> bytes;
    bool endsWithin = false;
    if (ReadFileHead(SettingsPath(), kLongestFile, &bytes, &endsWithin) != kFileReadWhole ||
        !endsWithin) {
        return kMusicTop;
    }
    return ParseMusicSetting(std::string(bytes.begin(), bytes.end()));
}

int WriteMusicSetting(int level) {
    const std::string text = FormatMusicSetting(level);
    return PlatformWriteFile(SettingsPath().c_str(), text.data(), text.size());
}
