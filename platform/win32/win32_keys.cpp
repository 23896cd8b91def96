// Key messages of the main window as the game reads them. Windows gives virtual-key codes
// already; what the layout adds is the character a key types, and that character decides the
// code for letters, digits and punctuation, so the game answers the same keys as on Linux.
#include "platform/message_loop.h"
#include "platform/win32/win32_backend.h"

namespace {

constexpr int kAboutCommand = 16;

struct CharacterKey {
    wchar_t character;
    int virtualKey;
};

// Punctuation by the code of the key that types it on a US layout, with Shift or without.
constexpr CharacterKey kPunctuation[] = {
    {L';', 186}, {L':', 186}, {L'=', 187},  {L'+', 187}, {L',', 188}, {L'<', 188}, {L'-', 189},
    {L'_', 189}, {L'.', 190}, {L'>', 190},  {L'/', 191}, {L'?', 191}, {L'`', 192}, {L'~', 192},
    {L'[', 219}, {L'{', 219}, {L'\\', 220}, {L'|', 220}, {L']', 221}, {L'}', 221}, {L'\'', 222},
    {L'"', 222}, {L'!', '1'}, {L'@', '2'},  {L'#', '3'}, {L'$', '4'}, {L'%', '5'}, {L'^', '6'},
    {L'&', '7'}, {L'*', '8'}, {L'(', '9'},  {L')', '0'},
};

// The character the key types without modifiers, or 0 (dead keys and keys typing nothing).
wchar_t TypedCharacter(int virtualKey) {
    UINT mapped = MapVirtualKeyW(static_cast<UINT>(virtualKey), MAPVK_VK_TO_CHAR);
    if (mapped & 0x80000000u) return 0;  // a dead key
    return static_cast<wchar_t>(mapped & 0xFFFF);
}

bool IsCharacterKey(int virtualKey) {
    return (virtualKey >= '0' && virtualKey <= '9') || (virtualKey >= 'A' && virtualKey <= 'Z') ||
           (virtualKey >= 186 && virtualKey <= 192) || (virtualKey >= 219 && virtualKey <= 223) ||
           virtualKey == 226;
}

}  // namespace

int Win32GameKey(wchar_t typed, int virtualKey) {
    if (typed >= L'a' && typed <= L'z') return 'A' + (typed - L'a');
    if (typed >= L'A' && typed <= L'Z') return typed;
    if (typed >= L'0' && typed <= L'9') return typed;
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
        if (down && !repeat && virtualKey == 'A' && (keyData & (1L << 29))) {
            LoopPostMessage(kMsgSysCommand, kAboutCommand);
            return true;
        }
        return false;
    }
    int code = IsCharacterKey(virtualKey) ? Win32GameKey(TypedCharacter(virtualKey), virtualKey)
                                          : virtualKey;
    if (code == VK_LCONTROL || code == VK_RCONTROL) code = VK_CONTROL;
    if (code == VK_LSHIFT || code == VK_RSHIFT) code = VK_SHIFT;
    int flags = (GetKeyState(VK_SHIFT) & 0x8000) ? kMsgFlagShift : 0;
    LoopPostKey(down ? kMsgKeyDown : kMsgKeyUp, code, flags);
    return true;
}
