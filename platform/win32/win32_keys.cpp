// Key messages of the main window as the game reads them. Windows gives virtual-key codes
// already; what the layout adds is the character a key types, and that character decides the
// code for letters, digits and punctuation, so the game answers the same keys as on Linux.
#include "platform/key_codes.h"
#include "platform/message_loop.h"
#include "platform/win32/win32_backend.h"
#include "platform/win32/win32_trace.h"

namespace {

constexpr int kAboutCommand = 16;

struct CharacterKey {
    wchar_t character;
    int virtualKey;
};

// Punctuation by the code of the key that types it on a US layout, with Shift or without.
constexpr CharacterKey kPunctuation[] = {
    {L';', kKeyOem1},      {L':', kKeyOem1},      {L'=', kKeyOemPlus},  {L'+', kKeyOemPlus},
    {L',', kKeyOemComma},  {L'<', kKeyOemComma},  {L'-', kKeyOemMinus}, {L'_', kKeyOemMinus},
    {L'.', kKeyOemPeriod}, {L'>', kKeyOemPeriod}, {L'/', kKeyOem2},     {L'?', kKeyOem2},
    {L'`', kKeyOem3},      {L'~', kKeyOem3},      {L'[', kKeyOem4},     {L'{', kKeyOem4},
    {L'\\', kKeyOem5},     {L'|', kKeyOem5},      {L']', kKeyOem6},     {L'}', kKeyOem6},
    {L'\'', kKeyOem7},     {L'"', kKeyOem7},      {L'!', kKey0 + 1},    {L'@', kKey0 + 2},
    {L'#', kKey0 + 3},     {L'$', kKey0 + 4},     {L'%', kKey0 + 5},    {L'^', kKey0 + 6},
    {L'&', kKey0 + 7},     {L'*', kKey0 + 8},     {L'(', kKey0 + 9},    {L')', kKey0},
};

// The character the key types without modifiers, or 0 (dead keys and keys typing nothing).
wchar_t TypedCharacter(int virtualKey) {
    UINT mapped = MapVirtualKeyW(static_cast<UINT>(virtualKey), MAPVK_VK_TO_CHAR);
    if (mapped & 0x80000000u) return 0;  // a dead key
    return static_cast<wchar_t>(mapped & 0xFFFF);
}

bool IsCharacterKey(int virtualKey) {
    return (virtualKey >= kKey0 && virtualKey <= kKey9) ||
           (virtualKey >= kKeyA && virtualKey <= kKeyZ) ||
           (virtualKey >= kKeyOem1 && virtualKey <= kKeyOem3) ||
           (virtualKey >= kKeyOem4 && virtualKey <= kKeyOem7 + 1) || virtualKey == kKeyOem102;
}

}  // namespace

int Win32GameKey(wchar_t typed, int virtualKey) {
    if (typed >= L'a' && typed <= L'z') return kKeyA + (typed - L'a');
    if (typed >= L'A' && typed <= L'Z') return kKeyA + (typed - L'A');
    if (typed >= L'0' && typed <= L'9') return kKey0 + (typed - L'0');
    for (const CharacterKey& key : kPunctuation) {
        if (key.character == typed) return key.virtualKey;
    }
    return virtualKey;
}

bool Win32PostKeyMessage(bool down, bool system, WPARAM wParam, LPARAM keyData) {
    int virtualKey = static_cast<int>(wParam & 0xFF);
    bool repeat = down && (keyData & (1L << 30)) != 0;
    if (system) {
        // Keys with Alt held (and F10) stay system keys. Alt+A asks for the About box as on
        // Linux, on a fresh press only; everything else (Alt+F4, Alt+Space) is Windows' own.
        if (down && !repeat && virtualKey == kKeyA && (keyData & (1L << 29))) {
            LoopPostMessage(kMsgSysCommand, kAboutCommand);
            return true;
        }
        return false;
    }
    int code = IsCharacterKey(virtualKey) ? Win32GameKey(TypedCharacter(virtualKey), virtualKey)
                                          : virtualKey;
    if (code == VK_LCONTROL || code == VK_RCONTROL) code = kKeyCtrl;
    if (code == VK_LSHIFT || code == VK_RSHIFT) code = kKeyShift;
    if (code == 0) code = kKeyUnknown;
    if (down) Win32TraceNumber(repeat ? "key-repeat" : "key-down", code);
    int flags = (GetKeyState(VK_SHIFT) & 0x8000) ? kMsgFlagShift : 0;
    LoopPostKey(down ? kMsgKeyDown : kMsgKeyUp, code, flags);
    return true;
}
