// The characters a game can ask for: which sound of the level bank speaks each one and which
// key code answers it.
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
