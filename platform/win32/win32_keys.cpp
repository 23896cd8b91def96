// Key messages of the main window as the game reads them. Windows gives virtual-key codes
// already; what counts for a key that types one of the game's characters is the character the
// player's layout typed with it (Shift and AltGr included), by the rule every backend shares
// (platform/core/typed_keys.h), and held, Alt and Alt+A by the shared key state machine
// (platform/core/key_state.h), so the game answers the same keys as on Linux.
#include "platform/core/key_state.h"
#include "platform/key_codes.h"
#include "platform/core/typed_keys.h"
#include "platform/win32/win32_backend.h"

namespace {

constexpr LPARAM kExtendedKey = 1L << 24;

// What the key typed by itself (no Shift, no AltGr): what a press counts as when it typed
// nothing with the modifiers held (Ctrl, a dead key before it).
uint32_t OwnCharacter(int virtualKey) {
    UINT mapped = MapVirtualKeyW(static_cast<UINT>(virtualKey), MAPVK_VK_TO_CHAR);
    if (mapped & 0x80000000u) return 0;  // a dead key
    return mapped & 0xFFFF;
}

}  // namespace

uint32_t Win32TypedCharacter(int virtualKey, const BYTE* keyboardState) {
    wchar_t typed[4];
    UINT scanCode = MapVirtualKeyW(static_cast<UINT>(virtualKey), MAPVK_VK_TO_VSC);
    // Flag 4: the layout's dead-key state is left as it was.
    int length = ToUnicodeEx(static_cast<UINT>(virtualKey), scanCode, keyboardState, typed, 4, 4,
                             GetKeyboardLayout(0));
    uint32_t character = length == 1 ? typed[0] : 0;
    // Control characters are what Ctrl makes of a key, not characters typed.
    if (character < 0x20 || character == 0x7F) character = 0;
    return character ? character : OwnCharacter(virtualKey);
}

bool Win32IsAltGrCtrl(const MSG& key, const MSG& next) {
    auto goesDown = [](UINT message) { return message == WM_KEYDOWN || message == WM_SYSKEYDOWN; };
    bool madeUpCtrl = (key.wParam & 0xFF) == VK_CONTROL && !(key.lParam & kExtendedKey);
    bool rightAlt = (next.wParam & 0xFF) == VK_MENU && (next.lParam & kExtendedKey);
    return madeUpCtrl && rightAlt && next.time == key.time &&
           goesDown(key.message) == goesDown(next.message);
}

bool Win32PostKeyMessage(bool down, bool system, WPARAM wParam, LPARAM keyData) {
    int virtualKey = static_cast<int>(wParam & 0xFF);
    bool altHeld = (keyData & (1L << 29)) != 0;
    // F10 alone is a system key without Alt: Windows' own.
    if (system && !altHeld) return false;
    // Alt outside a system key is AltGr's (or Alt with Ctrl held): a modifier, never a key.
    if (!system && virtualKey == VK_MENU) return true;
    int code = virtualKey == 0 ? kKeyUnknown : virtualKey;
    if (code == VK_LCONTROL || code == VK_RCONTROL) code = kKeyCtrl;
    if (code == VK_LSHIFT || code == VK_RSHIFT) code = kKeyShift;
    BYTE state[256];
    uint32_t typed = 0;
    if (down && !system && GetKeyboardState(state)) typed = Win32TypedCharacter(virtualKey, state);
    // Keys with Alt held stay system keys: what the game does not take (Alt+Space, Alt+Tab) goes
    // on to Windows.
    return KeyStatePost({.where = static_cast<uint32_t>(virtualKey),
                         .down = down,
                         .repeat = down && (keyData & (1L << 30)) != 0,
                         .code = code,
                         .typed = typed,
                         .shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0,
                         .alt = system,
                         .altGr = false});
}
