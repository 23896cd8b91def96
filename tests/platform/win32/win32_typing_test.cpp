// The Windows main window as a player meets it: its size, the keys the game hears (typed, held,
// with Alt), the About item of its system menu and Alt+F4, with no input method between the keys
// and the game; and what Windows does around the keys a player types: the character its layout
// types, AltGr's made-up left Ctrl (the left answer) on European layouts, and Alt or F10 alone
// opening the menu from the keyboard.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <utility>
#include <vector>

#include "platform/key_codes.h"
#include "platform/win32/win32_backend.h"
// After windows.h, which it needs.
#include <imm.h>

namespace {

struct Heard {
    int type;
    int code;
    bool operator==(const Heard& other) const { return type == other.type && code == other.code; }
};

std::vector<Heard> s_heard;
void (*s_onFirstPaint)(HWND window) = nullptr;
void (*s_onTick)(HWND window) = nullptr;
bool s_painted = false;

// Hears every key, the About command and the close, until Enter goes down or the window is
// closed, which ends the scenario.
void Handler(const PlatformMessage& msg) {
    HWND window = Win32Window();
    if (msg.type == kMsgPaint && !s_painted) {
        s_painted = true;
        s_onFirstPaint(window);
    } else if (msg.type == kMsgTimer && s_onTick) {
        s_onTick(window);
    } else if (msg.type == kMsgKeyDown || msg.type == kMsgKeyUp || msg.type == kMsgSysCommand ||
               msg.type == kMsgClose) {
        s_heard.push_back({msg.type, msg.wParam});
        if ((msg.type == kMsgKeyDown && msg.wParam == kKeyEnter) || msg.type == kMsgClose) {
            PlatformDestroyWindow();
        }
    }
}

void RunScenario(void (*onFirstPaint)(HWND), void (*onTick)(HWND) = nullptr) {
    s_heard.clear();
    s_painted = false;
    s_onFirstPaint = onFirstPaint;
    s_onTick = onTick;
    PlatformSelectReal();
    PlatformRunWindow("Tapdash", 215, 228, Handler);
}

INPUT Key(WORD virtualKey, WORD scanCode, DWORD flags, DWORD time) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.wScan = scanCode;
    input.ki.dwFlags = flags;
    input.ki.time = time;
    return input;
}

// A key pressed and let go with nothing else held, as the keyboard sends it.
void PressAlone(WORD virtualKey, WORD scanCode) {
    INPUT keys[] = {Key(virtualKey, scanCode, 0, 0), Key(virtualKey, scanCode, KEYEVENTF_KEYUP, 0)};
    SendInput(ARRAYSIZE(keys), keys, sizeof keys[0]);
}

}  // namespace

// B, B held (one repeat), Ctrl, Alt+A held, then Alt+F4, posted as a keyboard
// would once the window is shown; the window comes at its size, without an input context (an
// input method would turn letters into its own code), and is closed by Alt+F4.
TEST(Win32Window, AFixedClientAreaAndTheKeysOfThePlayerInTheirOrder) {
    static RECT s_client;
    static HIMC s_context;
    RunScenario([](HWND window) {
        GetClientRect(window, &s_client);
        s_context = ImmGetContext(window);
        if (s_context) ImmReleaseContext(window, s_context);
        constexpr LPARAM kHeld = 1L << 30, kAlt = 1L << 29, kUp = (1L << 31) | kHeld;
        const struct {
            UINT message;
            WPARAM key;
            LPARAM data;
        } keys[] = {
            {WM_KEYDOWN, 'B', 1},
            {WM_KEYDOWN, 'B', 1 | kHeld},
            {WM_KEYUP, 'B', 1 | kUp},
            {WM_KEYDOWN, VK_CONTROL, 1},
            {WM_SYSKEYDOWN, 'A', 1 | kAlt},
            {WM_SYSKEYDOWN, 'A', 1 | kAlt | kHeld},
            {WM_SYSKEYDOWN, VK_F4, 1 | kAlt},
        };
        for (const auto& key : keys) PostMessageW(window, key.message, key.key, key.data);
    });
    EXPECT_EQ(Win32Window(), nullptr);
    ASSERT_TRUE(s_painted);
    EXPECT_EQ(s_client.right - s_client.left, 215);
    EXPECT_EQ(s_client.bottom - s_client.top, 228);
    EXPECT_EQ(s_context, nullptr) << "an input method stands between the keys and the game";
    const std::vector<Heard> expected = {
        {kMsgKeyDown, 'B'}, {kMsgKeyDown, 'B'},   {kMsgKeyUp, 'B'},
        {kMsgKeyDown, 17},  {kMsgSysCommand, 16}, {kMsgClose, 0},
    };
    EXPECT_EQ(s_heard, expected);
}

// Wine on a virtual display types with a US layout. Ctrl makes a control character of a key:
// the key's own character counts.
TEST(Win32Keys, TheCharacterTheLayoutTypesWithTheModifiersHeld) {
    const struct {
        int key;
        int held;  // 0, VK_SHIFT or VK_CONTROL
        uint32_t typed;
    } cases[] = {
        {'B', 0, 'b'},        {VK_F5, 0, 0},          {VK_OEM_1, VK_SHIFT, ':'},
        {'1', VK_SHIFT, '!'}, {'B', VK_CONTROL, 'B'}, {VK_OEM_MINUS, VK_CONTROL, '-'},
    };
    for (const auto& each : cases) {
        BYTE state[256] = {};
        if (each.held)
            state[each.held] = state[each.held == VK_SHIFT ? VK_LSHIFT : VK_LCONTROL] = 0x80;
        EXPECT_EQ(Win32TypedCharacter(each.key, state), each.typed) << each.key;
    }
}

namespace {

// The key-downs the game's thread takes from its queue, in order: the virtual key and whether it
// is an extended key.
std::vector<std::pair<int, bool>> s_queued;

LRESULT CALLBACK SeeKeyTaken(int code, WPARAM key, LPARAM keyData) {
    if (code == HC_ACTION && !(keyData & (1L << 31))) {
        s_queued.push_back({int(key), (keyData & (1L << 24)) != 0});
    }
    return CallNextHookEx(nullptr, code, key, keyData);
}

}  // namespace

// A backslash on a German layout is AltGr+ß, which Windows' keyboard driver sends as a left Ctrl
// with the right Alt's own time, then the right Alt (an extended key), then the key. (Wine's own
// AltGr key sends neither, so the test sends them.) Then the player's own left Ctrl, the answer.
TEST(Win32GermanTyping, ABackslashTypedWithAltGrIsNoLeftAnswer) {
    // The key that types a backslash, and in the high byte what it needs held: 6 is Ctrl and Alt.
    const SHORT backslash = VkKeyScanW(L'\\');
    ASSERT_EQ(backslash >> 8, 6) << "this layout types no backslash with AltGr";
    static WORD s_key;
    s_key = LOBYTE(backslash);
    s_queued.clear();
    HHOOK hook = SetWindowsHookExW(WH_KEYBOARD, SeeKeyTaken, nullptr, GetCurrentThreadId());
    RunScenario([](HWND window) {
        SetForegroundWindow(window);
        SetFocus(window);
        const DWORD t = GetTickCount();
        const WORD scan = WORD(MapVirtualKeyW(s_key, MAPVK_VK_TO_VSC));
        INPUT keys[] = {
            Key(VK_LCONTROL, 0x1D, 0, t),
            Key(VK_RMENU, 0x38, KEYEVENTF_EXTENDEDKEY, t),
            Key(s_key, scan, 0, t + 10),
            Key(s_key, scan, KEYEVENTF_KEYUP, t + 20),
            Key(VK_LCONTROL, 0x1D, KEYEVENTF_KEYUP, t + 30),
            Key(VK_RMENU, 0x38, KEYEVENTF_EXTENDEDKEY | KEYEVENTF_KEYUP, t + 30),
            Key(VK_LCONTROL, 0x1D, 0, t + 500),
            Key(VK_LCONTROL, 0x1D, KEYEVENTF_KEYUP, t + 600),
            Key(VK_RETURN, 0x1C, 0, t + 700),
        };
        ASSERT_EQ(SendInput(ARRAYSIZE(keys), keys, sizeof keys[0]), ARRAYSIZE(keys));
    });
    UnhookWindowsHookEx(hook);
    // The made-up Ctrl comes first: the game must look ahead to the Alt to know it for AltGr's.
    const std::vector<std::pair<int, bool>> queued = {{VK_CONTROL, false},
                                                      {VK_MENU, true},
                                                      {s_key, false},
                                                      {VK_CONTROL, false},
                                                      {VK_RETURN, false}};
    EXPECT_EQ(s_queued, queued);
    // Windows types the backslash from the keys held; Wine's X11 driver knows AltGr only from its
    // own key events, so there the key types nothing and arrives as its own code.
    BYTE altGr[256] = {};
    altGr[VK_CONTROL] = altGr[VK_LCONTROL] = altGr[VK_MENU] = altGr[VK_RMENU] = 0x80;
    const int typed = Win32TypedCharacter(s_key, altGr) == '\\' ? kKeyOem5 : s_key;
    const std::vector<Heard> expected = {
        {kMsgKeyDown, typed},  {kMsgKeyUp, typed},       {kMsgKeyDown, kKeyCtrl},
        {kMsgKeyUp, kKeyCtrl}, {kMsgKeyDown, kKeyEnter},
    };
    EXPECT_EQ(s_heard, expected);
}

namespace {

std::atomic<bool> s_menuOpened{false};
std::atomic<bool> s_watching{false};
int s_ticksAfterAlt = 0;
std::thread s_watcher;

// Watches the game's thread for the keyboard's menu mode; where it opens, records it and closes
// it again, so that the scenario goes on and tells.
void WatchForMenu(DWORD thread, HWND window) {
    while (s_watching) {
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        if (GetGUIThreadInfo(thread, &info) && (info.flags & GUI_INMENUMODE)) {
            s_menuOpened = true;
            PostMessageW(window, WM_CANCELMODE, 0, 0);
        }
        Sleep(5);
    }
}

}  // namespace

// Alt pressed and let go alone, then F10: the game goes on (its tick still comes) and Enter
// still answers; Alt+Space still opens the system menu. Wine's default handling of the keys
// never opens the menu; the test posts the command Windows sends for them.
TEST(Win32Typing, AltOrF10AloneLeavesTheGameRunning) {
    s_watching = true;
    s_ticksAfterAlt = 0;
    RunScenario(
        [](HWND window) {
            s_watcher = std::thread(WatchForMenu, GetCurrentThreadId(), window);
            PlatformSetTimer(1, 50);
            SetForegroundWindow(window);
            SetFocus(window);
            PressAlone(VK_LMENU, 0x38);
            PressAlone(VK_F10, 0x44);
            // What Windows' default handling sends for each of them and Wine's does not; Wine
            // opens the keyboard's menu for it only on a window with a menu bar, so the window
            // is lent one.
            HMENU bar = CreateMenu();
            AppendMenuW(bar, MF_STRING, 1, L"&Game");
            SetMenu(window, bar);
            PostMessageW(window, WM_SYSCOMMAND, SC_KEYMENU, 0);
        },
        [](HWND window) {
            // What was posted before a tick has been handled when the tick comes.
            switch (++s_ticksAfterAlt) {
                case 1:
                    EXPECT_FALSE(s_menuOpened) << "Alt or F10 alone opened the menu";
                    PostMessageW(window, WM_SYSKEYDOWN, VK_SPACE, 1 | (1L << 29));
                    break;
                case 2:
                    EXPECT_TRUE(s_menuOpened) << "Alt+Space opened no system menu";
                    PostMessageW(window, WM_KEYDOWN, VK_RETURN, 1);
                    break;
            }
        });
    s_watching = false;
    if (s_watcher.joinable()) s_watcher.join();
    EXPECT_EQ(s_ticksAfterAlt, 2);
    EXPECT_EQ(s_heard, (std::vector<Heard>{{kMsgKeyDown, kKeyEnter}}));
}
