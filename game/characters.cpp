// The characters a game can ask for: which sound of the level bank speaks each one and which
// key code answers it.
#include "game/level.h"
#include "game/level_internal.h"

CharacterEntry g_characters[kCharacterCount];

namespace {

// A key code of 1000 or more is the key 1000 below it typed with Shift held, as on a US layout.
constexpr int kShifted = 1000;
constexpr int kKeyOem1 = 186;  // ; and :
constexpr int kKeyOemPlus = 187;
constexpr int kKeyOemComma = 188;
constexpr int kKeyOemMinus = 189;
constexpr int kKeyOemPeriod = 190;
constexpr int kKeyOem2 = 191;  // / and ?
constexpr int kKeyOem5 = 220;  // backslash

struct SymbolRow {
    int entry;
    int soundSlot;
    int keyCode;
};

constexpr SymbolRow kSymbols[] = {
    {37, 5, kKeyOem5},                  // backslash
    {38, 6, kShifted + kKeyOem1},       // colon
    {39, 7, kKeyOemComma},              // comma
    {40, 8, kShifted + kKeyOemPeriod},  // greater-than sign
    {41, 9, kShifted + kKeyOemComma},   // less-than sign
    {42, 10, kKeyOemMinus},             // minus sign
    {43, 11, kShifted + kKeyOemPlus},   // plus sign
    {44, 12, kKeyOemPeriod},            // full stop
    {45, 13, kKeyOem1},                 // semicolon
    {46, 14, kKeyOem2},                 // slash
};

constexpr int kFirstLetterEntry = 0;
constexpr int kFirstLetterSlot = 15;
constexpr int kFirstDigitEntry = 26;
constexpr int kFirstDigitSlot = 41;

}  // namespace

void BuildCharacterTable() {
    for (int n = 0; n < 26; ++n) {
        g_characters[kFirstLetterEntry + n] = {kFirstLetterSlot + n, 'A' + n};
    }
    for (int n = 0; n < 10; ++n) {
        g_characters[kFirstDigitEntry + n] = {kFirstDigitSlot + n, '0' + n};
    }
    // Entry 36 keeps its start values; NextCharacter never lands on it.
    g_characters[kUnusedCharacter] = {0, 0};
    for (const SymbolRow& row : kSymbols) g_characters[row.entry] = {row.soundSlot, row.keyCode};
}
