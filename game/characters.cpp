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
    {37, 5, kKeyOem5},        // backslash
    {38, 6, kKeyColon},       // colon
    {39, 7, kKeyOemComma},    // comma
    {40, 8, kKeyGreater},     // greater-than sign
    {41, 9, kKeyLess},        // less-than sign
    {42, 10, kKeyOemMinus},   // minus sign
    {43, 11, kKeyPlus},       // plus sign
    {44, 12, kKeyOemPeriod},  // full stop
    {45, 13, kKeyOem1},       // semicolon
    {46, 14, kKeyOem2},       // slash
};

constexpr int kFirstLetterEntry = 0;
constexpr int kFirstLetterSlot = 15;
constexpr int kFirstDigitEntry = 26;
constexpr int kFirstDigitSlot = 41;

}  // namespace

void BuildCharacterTable() {
    for (int n = 0; n < 26; ++n) {
        g_characters[kFirstLetterEntry + n] = {kFirstLetterSlot + n, kKeyA + n};
    }
    for (int n = 0; n < 10; ++n) {
        g_characters[kFirstDigitEntry + n] = {kFirstDigitSlot + n, kKey0 + n};
    }
    // Entry 36 keeps its start values; NextCharacter never lands on it.
    g_characters[kUnusedCharacter] = {0, 0};
    for (const SymbolRow& row : kSymbols) g_characters[row.entry] = {row.soundSlot, row.keyCode};
}
