// Reading and writing stats.dat.
#include "storage/char_stats.h"

#include <cstdint>
#include <sstream>

#include "platform/platform.h"
#include "storage/file_bytes.h"
#include "storage/player_files.h"

std::map<char, CharacterStats> g_charStats;
std::vector<std::string> g_statsLaterLines;

namespace {

constexpr char kHeader[] = "tapdash-stats";
constexpr int kVersion = 1;
constexpr size_t kLongestFile = size_t{1} << 20;  // a longer file is not one a game wrote
constexpr int kLargestCount = 999999999;

struct CountField {
    const char* name;
    int CharacterStats::*count;
};

constexpr CountField kCountFields[] = {
    {"played", &CharacterStats::played}, {"right", &CharacterStats::right},
    {"wrong", &CharacterStats::wrong},   {"side", &CharacterStats::side},
    {"missed", &CharacterStats::missed},
};

constexpr char kAnsweredAs[] = "as:";

// A count as the file writes it: 1 to 9 digits.
bool ParseCount(const std::string& text, int* count) {
    if (text.empty() || text.size() > 9) return false;
    *count = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        *count = *count * 10 + (c - '0');
    }
    return true;
}

bool ParseField(const std::string& field, CharacterStats* stats) {
    const size_t equals = field.find('=');
    if (equals == std::string::npos || equals == 0) return false;
    const std::string name = field.substr(0, equals);
    const std::string value = field.substr(equals + 1);
    for (const CountField& known : kCountFields) {
        if (name == known.name) return ParseCount(value, &(stats->*known.count));
    }
    if (name.size() == sizeof kAnsweredAs && name.compare(0, 3, kAnsweredAs) == 0) {
        return ParseCount(value, &stats->answeredAs[name.back()]);
    }
    stats->laterFields.push_back(field);
    return true;
}

bool ParseLines(const std::string& text) {
    std::istringstream lines(text);
    std::string line;
    if (!std::getline(lines, line)) return false;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::istringstream header(line);
    std::string word;
    int version = 0;
    if (!(header >> word >> version) || word != kHeader || version < 1) return false;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        for (char c : line) {
            if (static_cast<unsigned char>(c) < 0x20) return false;
        }
        std::istringstream fields(line);
        std::string name;
        fields >> name;
        if (name.size() != 1) {
            // A kind of line this version does not know.
            g_statsLaterLines.push_back(line);
            continue;
        }
        CharacterStats& stats = g_charStats[name[0]];
        std::string field;
        while (fields >> field) {
            if (!ParseField(field, &stats)) return false;
        }
    }
    return true;
}

}  // namespace

std::string StatsFilePath() {
    return PlayerFilePath("stats.dat");
}

bool ParseCharacterStats(const std::string& text) {
    g_charStats.clear();
    g_statsLaterLines.clear();
    if (ParseLines(text)) return true;
    g_charStats.clear();
    g_statsLaterLines.clear();
    return false;
}

std::string FormatCharacterStats() {
    std::string text = std::string(kHeader) + " " + std::to_string(kVersion) + "\n";
    for (const auto& [character, stats] : g_charStats) {
        text += character;
        for (const CountField& field : kCountFields) {
            text += std::string(" ") + field.name + "=" + std::to_string(stats.*field.count);
        }
        for (const auto& [other, count] : stats.answeredAs) {
            text += std::string(" ") + kAnsweredAs + other + "=" + std::to_string(count);
        }
        for (const std::string& field : stats.laterFields) text += " " + field;
        text += "\n";
    }
    for (const std::string& line : g_statsLaterLines) text += line + "\n";
    return text;
}

void ReadCharacterStats() {
    std::vector<uint8_t> bytes;
    bool endsWithin = false;
    if (ReadFileHead(StatsFilePath(), kLongestFile, &bytes, &endsWithin) != kFileReadWhole ||
        !endsWithin) {
        bytes.clear();
    }
    ParseCharacterStats(std::string(bytes.begin(), bytes.end()));
}

int WriteCharacterStats() {
    const std::string text = FormatCharacterStats();
    return PlatformWriteFile(StatsFilePath().c_str(), text.data(), text.size());
}

void Bump(int& count) {
    if (count < kLargestCount) ++count;
}
