#include "platform/web/web_keys.h"

#include <cstdint>
#include <cstring>

#include "platform/core/key_state.h"
#include "platform/key_codes.h"
#include "platform/core/typed_keys.h"

namespace {

// Keys known by where they sit, by KeyboardEvent.code. The punctuation keys count as on a US
// layout; every other key here means the same on every layout.
struct CodeKey {
    const char* code;
    int key;
};

constexpr CodeKey kCodeKeys[] = {
    {"Enter", kKeyEnter},
    {"NumpadEnter", kKeyEnter},
    {"ControlLeft", kKeyCtrl},
    {"ControlRight", kKeyCtrl},
    {"ShiftLeft", kKeyShift},
    {"ShiftRight", kKeyShift},
    {"AltLeft", kKeyAlt},
    {"AltRight", kKeyAlt},
    {"Escape", kKeyEscape},
    {"Space", kKeySpace},
    {"Tab", kKeyTab},
    {"Backspace", kKeyBackspace},
    {"ArrowLeft", kKeyLeft},
    {"ArrowUp", kKeyUp},
    {"ArrowRight", kKeyRight},
    {"ArrowDown", kKeyDown},
    {"Insert", kKeyInsert},
    {"Delete", kKeyDelete},
    {"Home", kKeyHome},
    {"End", kKeyEnd},
    {"PageUp", kKeyPageUp},
    {"PageDown", kKeyPageDown},
    {"CapsLock", kKeyCapsLock},
    {"NumLock", kKeyNumLock},
    {"ScrollLock", kKeyScrollLock},
    {"Pause", kKeyPause},
    {"PrintScreen", kKeyPrintScreen},
    {"MetaLeft", kKeyLeftWindows},
    {"OSLeft", kKeyLeftWindows},
    {"MetaRight", kKeyRightWindows},
    {"OSRight", kKeyRightWindows},
    {"ContextMenu", kKeyApplications},
    {"NumpadMultiply", kKeyMultiply},
    {"NumpadAdd", kKeyAdd},
    {"NumpadComma", kKeySeparator},
    {"NumpadSubtract", kKeySubtract},
    {"NumpadDecimal", kKeyDecimal},
    {"NumpadDivide", kKeyDivide},
    {"Semicolon", kKeyOem1},
    {"Equal", kKeyOemPlus},
    {"Comma", kKeyOemComma},
    {"Minus", kKeyOemMinus},
    {"Period", kKeyOemPeriod},
    {"Slash", kKeyOem2},
    {"Backquote", kKeyOem3},
    {"BracketLeft", kKeyOem4},
    {"Backslash", kKeyOem5},
    {"IntlHash", kKeyOem5},  // the same key on an ISO keyboard
    {"BracketRight", kKeyOem6},
    {"Quote", kKeyOem7},
    {"IntlBackslash", kKeyOem102},
};

// A number for where the key sits, the same for its key-down and key-up (FNV-1a of the code).
uint32_t Where(const char* code) {
    uint32_t hash = 2166136261u;
    for (const char* c = code; c && *c; ++c) {
        hash = (hash ^ static_cast<unsigned char>(*c)) * 16777619u;
    }
    return hash;
}

bool Numbered(const char* code, const char* prefix, int* number) {
    size_t length = std::strlen(prefix);
    if (std::strncmp(code, prefix, length) != 0) return false;
    const char* digits = code + length;
    if (!*digits || std::strlen(digits) > 2) return false;
    int value = 0;
    for (const char* c = digits; *c; ++c) {
        if (*c < '0' || *c > '9') return false;
        value = value * 10 + (*c - '0');
    }
    *number = value;
    return true;
}

}  // namespace

int WebVirtualKey(const char* code) {
    if (!code) return kKeyUnknown;
    int number = 0;
    if (std::strncmp(code, "Key", 3) == 0 && code[3] >= 'A' && code[3] <= 'Z' && !code[4]) {
        return kKeyA + (code[3] - 'A');
    }
    if (Numbered(code, "Digit", &number) && number <= 9) return kKey0 + number;
    if (Numbered(code, "Numpad", &number) && number <= 9) return kKeyNumpad0 + number;
    if (Numbered(code, "F", &number) && number >= 1 && number <= 24) return kKeyF1 + number - 1;
    for (const CodeKey& key : kCodeKeys) {
        if (std::strcmp(code, key.code) == 0) return key.key;
    }
    return kKeyUnknown;
}

void WebPostKeyEvent(bool down, bool repeat, const char* code, const char* key, int modifiers) {
    KeyStatePost({.where = Where(code),
                  .down = down,
                  .repeat = repeat,
                  .code = WebVirtualKey(code),
                  .typed = down ? OnlyCharacterOf(key) : 0,
                  .shift = (modifiers & kWebShift) != 0,
                  .alt = (modifiers & kWebAlt) != 0,
                  .altGr = (modifiers & kWebAltGraph) != 0});
}
