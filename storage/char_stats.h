// stats.dat, beside best.dat: for every character a player has met, how its presentations in
// games and practice rounds ended. One line a character after a header line:
//   tapdash-stats 1
//   F played=10 right=5 wrong=3 side=1 missed=1 as:E=2 as:S=1
// "wrong" counts answers with another character ("as:E" which one, where it is one of the
// game's), "side" right characters answered from another side, "missed" characters that ran past
// full loudness. Fields and lines of a later version are kept as they were read.
#pragma once

#include <map>
#include <string>
#include <vector>

struct CharacterStats {
    int played = 0;
    int right = 0;
    int wrong = 0;
    int side = 0;
    int missed = 0;
    std::map<char, int> answeredAs;
    std::vector<std::string> laterFields;  // "name=value", as read
};

// The record, by the character itself ('F', '7', ';').
extern std::map<char, CharacterStats> g_charStats;
// Lines of a later version, kept as read.
extern std::vector<std::string> g_statsLaterLines;

std::string StatsFilePath();
// Fills the record from stats.dat; a missing or damaged file is an empty record.
void ReadCharacterStats();
// Writes the whole record in one step. 1 when written.
int WriteCharacterStats();

// The file's text for the record, and the record a text gives (false, and an empty record, for a
// damaged one).
std::string FormatCharacterStats();
bool ParseCharacterStats(const std::string& text);

// Adds one to a count, which stops at the largest the file holds.
void Bump(int& count);
