#include "platform/typed_keys.h"

#include "platform/key_codes.h"

namespace {

struct SymbolKey {
    char symbol;
    int key;
};

// The symbols of the game and their codes: the key that types each on a US layout, 1000 above
// it where that layout needs Shift.
constexpr SymbolKey kSymbolKeys[] = {
    {'\\', kKeyOem5}, {':', kKeyColon},    {',', kKeyOemComma}, {'>', kKeyGreater},
    {'<', kKeyLess},  {'-', kKeyOemMinus}, {'+', kKeyPlus},     {'.', kKeyOemPeriod},
    {';', kKeyOem1},  {'/', kKeyOem2},
};

}  // namespace

int CharacterKeyCode(uint32_t character) {
    if (character >= 'A' && character <= 'Z') return kKeyA + static_cast<int>(character - 'A');
    if (character >= 'a' && character <= 'z') return kKeyA + static_cast<int>(character - 'a');
    if (character >= '0' && character <= '9') return kKey0 + static_cast<int>(character - '0');
    for (const SymbolKey& symbol : kSymbolKeys) {
        if (character == static_cast<uint32_t>(symbol.symbol)) return symbol.key;
    }
    return 0;
}

int TypedKeyCode(int keyCode, uint32_t typedCharacter) {
    // The keypad types digits and signs too, but Windows gives its keys codes of their own. The
    // answer keys and Escape are never characters, whatever text an input method hands in with
    // them.
    bool keypad = keyCode >= kKeyNumpad0 && keyCode <= kKeyDivide;
    bool commandKey = keyCode == kKeyEnter || keyCode == kKeySpace || keyCode == kKeyCtrl ||
                      keyCode == kKeyEscape;
    if (keypad || commandKey) return keyCode;
    int characterKey = CharacterKeyCode(typedCharacter);
    return characterKey ? characterKey : keyCode;
}
