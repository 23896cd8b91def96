// The game's ten symbols, their one table. In this order they fill the character table's entries
// 37 to 46 and the level bank's slots 5 to 14. A symbol arrives as the code of the key that types
// it on a US layout, 1000 above it where that layout needs Shift. The table sits below the
// backends, which turn what the player typed into these codes; the game and its banks read it too.
#pragma once

#include <cstdint>

#include "platform/key_codes.h"

struct GameSymbol {
    char character;
    int keyCode;
    const char* soundFile;  // its level bank file, relative to the program folder
};

constexpr int kGameSymbolCount = 10;

inline constexpr GameSymbol kGameSymbols[kGameSymbolCount] = {
    {'\\', kKeyOem5, "level1\\bslash.vgz"},     // backslash
    {':', kKeyColon, "level1\\col.vgz"},        // colon
    {',', kKeyOemComma, "level1\\com.vgz"},     // comma
    {'>', kKeyGreater, "level1\\great.vgz"},    // greater-than sign
    {'<', kKeyLess, "level1\\less.vgz"},        // less-than sign
    {'-', kKeyOemMinus, "level1\\minus.vgz"},   // minus sign
    {'+', kKeyPlus, "level1\\plus.vgz"},        // plus sign
    {'.', kKeyOemPeriod, "level1\\point.vgz"},  // full stop
    {';', kKeyOem1, "level1\\scol.vgz"},        // semicolon
    {'/', kKeyOem2, "level1\\slash.vgz"},       // slash
};

// The row of `character` in kGameSymbols, -1 when it is none of them.
constexpr int GameSymbolIndex(uint32_t character) {
    for (int n = 0; n < kGameSymbolCount; ++n) {
        if (character == static_cast<unsigned char>(kGameSymbols[n].character)) return n;
    }
    return -1;
}
