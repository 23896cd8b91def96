// The Windows main window as a player meets it: its size, the keys the game hears (typed,
// held, with Alt), the About item of its system menu and Alt+F4. The test posts the messages a
// keyboard would produce once the window is on screen, and waits for them to come through.
#include <gtest/gtest.h>

#include <vector>

#include "platform/core/typed_keys.h"
#include "platform/key_codes.h"
#include "platform/win32/win32_backend.h"

namespace {

struct Seen {
    int type;
    int wParam;
};

std::vector<Seen> s_seen;
RECT s_client;
bool s_painted = false;

LPARAM KeyData(bool repeat, bool alt) {
    return 1 | (repeat ? (1L << 30) : 0) | (alt ? (1L << 29) : 0);
}

// The keys a player types once the window is shown: B, B held (one repeat), minus, Ctrl,
// Escape, Alt+A, then Alt+F4.
void TypeKeys(HWND window) {
    PostMessageW(window, WM_KEYDOWN, 'B', KeyData(false, false));
    PostMessageW(window, WM_KEYDOWN, 'B', KeyData(true, false));
    PostMessageW(window, WM_KEYUP, 'B', KeyData(false, false) | (1L << 31) | (1L << 30));
    PostMessageW(window, WM_KEYDOWN, VK_OEM_MINUS, KeyData(false, false));
    PostMessageW(window, WM_KEYDOWN, VK_CONTROL, KeyData(false, false));
    PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, KeyData(false, false));
    PostMessageW(window, WM_SYSKEYDOWN, 'A', KeyData(false, true));
    PostMessageW(window, WM_SYSKEYDOWN, 'A', KeyData(true, true));
    PostMessageW(window, WM_SYSKEYDOWN, VK_F4, KeyData(false, true));
}

void Handler(const PlatformMessage& msg) {
    switch (msg.type) {
        case kMsgPaint:
            if (!s_painted) {
                s_painted = true;
                GetClientRect(Win32Window(), &s_client);
                TypeKeys(Win32Window());
            }
            return;
        case kMsgKeyDown:
        case kMsgKeyUp:
        case kMsgSysCommand:
        case kMsgClose:
            s_seen.push_back({msg.type, msg.wParam});
            if (msg.type == kMsgClose) PlatformDestroyWindow();
            return;
        default:
            return;
    }
}

}  // namespace

TEST(Win32Window, AFixedClientAreaAndTheKeysOfThePlayerInTheirOrder) {
    PlatformSelectReal();
    PlatformRunWindow("Tapdash", 215, 228, Handler);
    EXPECT_EQ(Win32Window(), nullptr);
    ASSERT_TRUE(s_painted);
    EXPECT_EQ(s_client.right - s_client.left, 215);
    EXPECT_EQ(s_client.bottom - s_client.top, 228);
    const std::vector<Seen> expected = {
        {kMsgKeyDown, 'B'}, {kMsgKeyDown, 'B'}, {kMsgKeyUp, 'B'},     {kMsgKeyDown, 189},
        {kMsgKeyDown, 17},  {kMsgKeyDown, 27},  {kMsgSysCommand, 16}, {kMsgClose, 0},
    };
    ASSERT_EQ(s_seen.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(s_seen[i].type, expected[i].type) << "message " << i;
        EXPECT_EQ(s_seen[i].wParam, expected[i].wParam) << "message " << i;
    }
}

TEST(Win32Keys, TheCharacterTheLayoutTypesWithShiftOrCtrlDecidesTheCode) {
    // Wine on a virtual display types with a US layout.
    BYTE state[256] = {};
    EXPECT_EQ(Win32TypedCharacter('B', state), uint32_t('b'));
    EXPECT_EQ(TypedKeyCode('B', Win32TypedCharacter('B', state)), kKeyB);
    EXPECT_EQ(Win32TypedCharacter(VK_F5, state), 0u);
    EXPECT_EQ(TypedKeyCode(VK_F5, Win32TypedCharacter(VK_F5, state)), VK_F5);

    // With Shift: the colon is its own character (1000 above its key), Shift with a digit
    // types a sign that is not one of the game's, so the digit counts.
    state[VK_SHIFT] = state[VK_LSHIFT] = 0x80;
    EXPECT_EQ(Win32TypedCharacter(VK_OEM_1, state), uint32_t(':'));
    EXPECT_EQ(TypedKeyCode(VK_OEM_1, Win32TypedCharacter(VK_OEM_1, state)), kKeyColon);
    EXPECT_EQ(TypedKeyCode('1', Win32TypedCharacter('1', state)), kKey0 + 1);

    // Ctrl makes a control character of a letter: the letter its key types counts.
    state[VK_SHIFT] = state[VK_LSHIFT] = 0;
    state[VK_CONTROL] = state[VK_LCONTROL] = 0x80;
    EXPECT_EQ(TypedKeyCode('B', Win32TypedCharacter('B', state)), kKeyB);
    EXPECT_EQ(TypedKeyCode(VK_OEM_MINUS, Win32TypedCharacter(VK_OEM_MINUS, state)), kKeyOemMinus);
}
