// The characters a game can ask for: which sound of the level bank speaks each one, which key
// code answers it and which character it is.
#include "game/level.h"
#include "game/level_internal.h"
#include "platform/game_symbols.h"
#include "platform/key_codes.h"

CharacterEntry g_characters[kCharacterCount];

namespace {

constexpr int kFirstLetterEntry = 0;
constexpr int kFirstDigitEntry = 26;
constexpr int kFirstSymbolEntry = 37;

}  // namespace

void BuildCharacterTable() {
    for (int n = 0; n < 26; ++n) {
        g_characters[kFirstLetterEntry + n] = {LetterSlot(n), kKeyA + n};
    }
    for (int n = 0; n < 10; ++n) {
        g_characters[kFirstDigitEntry + n] = {DigitSlot(n), kKey0 + n};
    }
    // Entry 36 keeps its start values; NextCharacter never lands on it.
    g_characters[kUnusedCharacter] = {kLevelSlotBackground, 0};
    for (int n = 0; n < kGameSymbolCount; ++n) {
        g_characters[kFirstSymbolEntry + n] = {SymbolSlot(n), kGameSymbols[n].keyCode};
    }
}

char CharacterOf(int entry) {
    if (entry >= kFirstLetterEntry && entry < kFirstLetterEntry + 26) {
        return static_cast<char>('A' + (entry - kFirstLetterEntry));
    }
    if (entry >= kFirstDigitEntry && entry < kFirstDigitEntry + 10) {
        return static_cast<char>('0' + (entry - kFirstDigitEntry));
    }
    if (entry >= kFirstSymbolEntry && entry < kFirstSymbolEntry + kGameSymbolCount) {
        return kGameSymbols[entry - kFirstSymbolEntry].character;
    }
    return 0;
}

int EntryOfKey(int keyCode) {
    for (int entry = 0; entry < kCharacterCount; ++entry) {
        if (entry != kUnusedCharacter && g_characters[entry].keyCode == keyCode) return entry;
    }
    return -1;
}
