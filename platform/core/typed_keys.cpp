#include "platform/core/typed_keys.h"

#include "platform/game_symbols.h"
#include "platform/key_codes.h"

int CharacterKeyCode(uint32_t character) {
    if (character >= 'A' && character <= 'Z') return kKeyA + static_cast<int>(character - 'A');
    if (character >= 'a' && character <= 'z') return kKeyA + static_cast<int>(character - 'a');
    if (character >= '0' && character <= '9') return kKey0 + static_cast<int>(character - '0');
    const int symbol = GameSymbolIndex(character);
    return symbol < 0 ? 0 : kGameSymbols[symbol].keyCode;
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

uint32_t OnlyCharacterOf(const char* text) {
    if (!text || !*text) return 0;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    int length = bytes[0] < 0x80             ? 1
                 : (bytes[0] & 0xE0) == 0xC0 ? 2
                 : (bytes[0] & 0xF0) == 0xE0 ? 3
                 : (bytes[0] & 0xF8) == 0xF0 ? 4
                                             : 0;
    if (length == 0) return 0;
    uint32_t character = length == 1 ? bytes[0] : bytes[0] & (0x7F >> length);
    for (int i = 1; i < length; ++i) {
        if ((bytes[i] & 0xC0) != 0x80) return 0;
        character = (character << 6) | (bytes[i] & 0x3F);
    }
    return bytes[length] == 0 ? character : 0;
}
