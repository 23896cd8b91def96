// What Windows does around the keys a player types, and what the game must make of it: AltGr's
// made-up left Ctrl (the left answer) on European layouts, Alt or F10 alone opening the menu
// from the keyboard, and an input method turning letters into its own code.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/key_codes.h"
#include "platform/win32/win32_backend.h"
// After windows.h, which it needs.
#include <imm.h>

namespace {

constexpr int kKeyLetterQ = 'Q';

struct Heard {
    int type;
    int code;
    bool operator==(const Heard& other) const { return type == other.type && code == other.code; }
};

std::vector<Heard> s_heard;
void (*s_onFirstPaint)(HWND window) = nullptr;
void (*s_onTick)(HWND window) = nullptr;
bool s_painted = false;

// Hears every key until Enter goes down, which ends the scenario.
void Handler(const PlatformMessage& msg) {
    HWND window = Win32Window();
    if (msg.type == kMsgPaint && !s_painted) {
        s_painted = true;
        s_onFirstPaint(window);
    } else if (msg.type == kMsgTimer && s_onTick) {
        s_onTick(window);
    } else if (msg.type == kMsgKeyDown || msg.type == kMsgKeyUp) {
        s_heard.push_back({msg.type, msg.wParam});
        if (msg.type == kMsgKeyDown && msg.wParam == kKeyEnter) PlatformDestroyWindow();
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

void PressEnter(HWND window) {
    PostMessageW(window, WM_KEYDOWN, VK_RETURN, 1);
}

}  // namespace

// AltGr+Q as the keyboard driver of a German layout sends it: a left Ctrl with the right Alt's
// own time, then the right Alt (an extended key). Then the player's own left Ctrl, the answer.
TEST(Win32Typing, AltGrIsNoLeftCtrlAndItsAltNoKey) {
    RunScenario([](HWND window) {
        SetForegroundWindow(window);
        SetFocus(window);
        DWORD t = GetTickCount();
        INPUT keys[] = {
            Key(VK_LCONTROL, 0x1D, 0, t),
            Key(VK_RMENU, 0x38, KEYEVENTF_EXTENDEDKEY, t),
            Key('Q', 0x10, 0, t + 10),
            Key('Q', 0x10, KEYEVENTF_KEYUP, t + 20),
            Key(VK_LCONTROL, 0x1D, KEYEVENTF_KEYUP, t + 30),
            Key(VK_RMENU, 0x38, KEYEVENTF_EXTENDEDKEY | KEYEVENTF_KEYUP, t + 30),
            Key(VK_LCONTROL, 0x1D, 0, t + 500),
            Key(VK_LCONTROL, 0x1D, KEYEVENTF_KEYUP, t + 600),
            Key(VK_RETURN, 0x1C, 0, t + 700),
        };
        ASSERT_EQ(SendInput(ARRAYSIZE(keys), keys, sizeof keys[0]), ARRAYSIZE(keys));
    });
    const std::vector<Heard> expected = {
        {kMsgKeyDown, kKeyLetterQ}, {kMsgKeyUp, kKeyLetterQ}, {kMsgKeyDown, kKeyCtrl},
        {kMsgKeyUp, kKeyCtrl},      {kMsgKeyDown, kKeyEnter},
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
                    PressEnter(window);
                    break;
            }
        });
    s_watching = false;
    if (s_watcher.joinable()) s_watcher.join();
    EXPECT_EQ(s_ticksAfterAlt, 2);
    EXPECT_EQ(s_heard, (std::vector<Heard>{{kMsgKeyDown, kKeyEnter}}));
}

// The window has no input context, so no input method stands between the keys and the game.
TEST(Win32Typing, ALetterArrivesAsItsOwnCodeWhateverTheInputMethod) {
    static bool s_hadContext = true;
    RunScenario([](HWND window) {
        HIMC context = ImmGetContext(window);
        s_hadContext = context != nullptr;
        if (context) ImmReleaseContext(window, context);
        PostMessageW(window, WM_KEYDOWN, 'Q', 1);
        PressEnter(window);
    });
    EXPECT_FALSE(s_hadContext);
    EXPECT_EQ(s_heard, (std::vector<Heard>{{kMsgKeyDown, kKeyLetterQ}, {kMsgKeyDown, kKeyEnter}}));
}
