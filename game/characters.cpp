// The characters a game can ask for: which sound of the level bank speaks each one and which
// key code answers it.
#include "game/level.h"
#include "game/level_internal.h"
#include "platform/key_codes.h"

CharacterEntry g_characters[kCharacterCount];

namespace {

struct SymbolRow {
    int entry;
    int soundSlot;
    int keyCode;
};

constexpr SymbolRow kSymbols[] = {
    {37, kLevelSlotBackslash, kKeyOem5},      // backslash
    {38, kLevelSlotColon, kKeyColon},         // colon
    {39, kLevelSlotComma, kKeyOemComma},      // comma
    {40, kLevelSlotGreater, kKeyGreater},     // greater-than sign
    {41, kLevelSlotLess, kKeyLess},           // less-than sign
    {42, kLevelSlotMinus, kKeyOemMinus},      // minus sign
    {43, kLevelSlotPlus, kKeyPlus},           // plus sign
    {44, kLevelSlotFullStop, kKeyOemPeriod},  // full stop
    {45, kLevelSlotSemicolon, kKeyOem1},      // semicolon
    {46, kLevelSlotSlash, kKeyOem2},          // slash
};

constexpr int kFirstLetterEntry = 0;
constexpr int kFirstDigitEntry = 26;

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
    for (const SymbolRow& row : kSymbols) g_characters[row.entry] = {row.soundSlot, row.keyCode};
}
