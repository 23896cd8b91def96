// The main window and its message loop over the thread's Windows message queue. The shared loop
// (platform/core/message_loop.cpp) decides what the game gets next; this file only feeds it: key
// messages are taken from the queue before they are dispatched (as a dialog's
// PreTranslateMessage would), everything else goes through the window procedure.
//
// While the game's one thread blocks (a sleep, a sound played to its end, a request to the score
// server) the queue is still read, so that Windows never takes the window for hung: keys go to
// the shared loop's queue for after the block, other input is held, and nothing reaches the game
// until the block ends.
#include <climits>
#include <cstdio>
#include <deque>

#include "platform/core/message_loop.h"
#include "platform/core/trace.h"
#include "platform/win32/win32_backend.h"
// After windows.h, which it needs.
#include <imm.h>

namespace {

constexpr wchar_t kClassName[] = L"TapdashMainWindow";
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_APPWINDOW;
constexpr UINT kAboutCommand = kSysCommandAbout;
constexpr int kMainIconResource = 128;
// The longest a blocked game leaves the queue unread; Windows calls a window hung after 5 s.
constexpr DWORD kAnswerSliceMs = 100;

HWND s_window = nullptr;
HICON s_icons[2] = {nullptr, nullptr};
// Input read while the game blocked that the window procedure would act on (system keys, the
// mouse): dispatched once the block is over, in arrival order.
std::deque<MSG> s_heldInput;
uint64_t s_queueReadMs = 0;  // when the queue was last read

void AddAboutItem(HWND window) {
    HMENU menu = GetSystemMenu(window, FALSE);
    if (!menu) return;
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, kAboutCommand, L"&About Tapdash...");
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            // The picture is drawn when the loop hands the paint to the game; until then the
            // window counts as painted, or Windows would ask again and again.
            ValidateRect(window, nullptr);
            LoopPostPaint();
            return 0;
        case WM_ERASEBKGND:
            return 1;  // the picture covers the whole client area
        case WM_CLOSE:
            LoopPostClose();
            return 0;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == kAboutCommand) {
                LoopPostMessage(kMsgSysCommand, kAboutCommand);
                return 0;
            }
            // Alt or F10 alone (and Alt with a letter that names nothing) would open the menu
            // from the keyboard: a modal loop in which ticks stop and the answer keys drive the
            // system menu. Only Alt+Space opens it; Alt+F4 and Alt+A are handled elsewhere.
            if ((wParam & 0xFFF0) == SC_KEYMENU && lParam != ' ') return 0;
            break;
        case WM_ACTIVATE:
            LoopPostMessage(kMsgActivate, LOWORD(wParam) != WA_INACTIVE ? 1 : 0);
            break;  // the default still gives the window the keyboard focus
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            // The keyboard may go and come back without a change of activation.
            LoopPostMessage(kMsgActivate, message == WM_SETFOCUS ? 1 : 0);
            break;
        case WM_QUERYDRAGICON:
            return reinterpret_cast<LRESULT>(s_icons[0]);
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

bool IsKeyMessage(UINT message) {
    return message == WM_KEYDOWN || message == WM_KEYUP || message == WM_SYSKEYDOWN ||
           message == WM_SYSKEYUP;
}

bool IsInputMessage(UINT message) {
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
           (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
           (message >= WM_NCMOUSEMOVE && message <= WM_NCXBUTTONDBLCLK);
}

// Hands a key message of the window to the game's queue; false when the window procedure is to
// have it (system keys).
bool TakeKey(const MSG& msg) {
    if ((msg.wParam & 0xFF) == VK_CONTROL) {
        MSG next;
        if (PeekMessageW(&next, s_window, WM_KEYFIRST, WM_KEYLAST, PM_NOREMOVE) &&
            Win32IsAltGrCtrl(msg, next)) {
            return true;
        }
    }
    bool down = msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN;
    bool system = msg.message == WM_SYSKEYDOWN || msg.message == WM_SYSKEYUP;
    return Win32PostKeyMessage(down, system, msg.wParam, msg.lParam);
}

// Keys the game took are never translated; system keys are, so that Alt+Space opens the system
// menu and Alt+F4 closes the window as everywhere else.
void Dispatch(const MSG& msg) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

// Reads the whole queue. While the game blocks (`blocked`), input that the window procedure
// would act on is held for afterwards; what else arrives (paint, activation) only posts to the
// loop's queue through the window procedure.
void ReadQueue(bool blocked) {
    s_queueReadMs = Win32NowMs();
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            LoopPostClose();
            continue;
        }
        if (IsKeyMessage(msg.message) && msg.hwnd == s_window && TakeKey(msg)) continue;
        // A system command can open a modal loop of its own (moving, the menu): held as well.
        if (blocked && (IsInputMessage(msg.message) || msg.message == WM_SYSCOMMAND)) {
            s_heldInput.push_back(msg);
            continue;
        }
        Dispatch(msg);
    }
}

void PollMessages() {
    while (!s_heldInput.empty()) {
        MSG msg = s_heldInput.front();
        s_heldInput.pop_front();
        Dispatch(msg);
    }
    ReadQueue(false);
}

// Sleeps until a message arrives or the deadline passes, so that an idle window costs no
// processor time.
void WaitMessages(uint64_t deadlineMs) {
    if (LoopHasPendingEvents()) return;
    DWORD timeout = INFINITE;
    if (deadlineMs != UINT64_MAX) {
        uint64_t now = Win32NowMs();
        if (deadlineMs <= now) return;
        uint64_t left = deadlineMs - now;
        timeout = left >= INFINITE ? INFINITE - 1 : static_cast<DWORD>(left);
    }
    MsgWaitForMultipleObjectsEx(0, nullptr, timeout, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    PollMessages();
}

constexpr LoopBackend kWin32Loop = {Win32NowMs, WaitMessages, PollMessages};

bool RegisterWindowClass(HINSTANCE instance) {
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(kMainIconResource));
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // the arrow
    windowClass.lpszClassName = kClassName;
    return RegisterClassExW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

void DestroyIcons() {
    for (HICON& icon : s_icons) {
        if (icon) DestroyIcon(icon);
        icon = nullptr;
    }
}

// A 32-bit icon from a picture in the platform's layout; null when the picture is empty.
HICON IconFromImage(const PlatformImage& image) {
    if (image.width <= 0 || image.height <= 0 || !image.pixels) return nullptr;
    BITMAPV5HEADER header = {};
    header.bV5Size = sizeof header;
    header.bV5Width = image.width;
    header.bV5Height = image.height;  // bottom-up, as the picture
    header.bV5Planes = 1;
    header.bV5BitCount = 32;
    header.bV5Compression = BI_BITFIELDS;
    header.bV5RedMask = 0x00FF0000;
    header.bV5GreenMask = 0x0000FF00;
    header.bV5BlueMask = 0x000000FF;
    header.bV5AlphaMask = 0xFF000000;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP color = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS,
                                     &bits, nullptr, 0);
    ReleaseDC(nullptr, screen);
    if (!color) return nullptr;
    size_t stride = (static_cast<size_t>(image.width) * 3 + 3) & ~static_cast<size_t>(3);
    auto* target = static_cast<uint32_t*>(bits);
    for (int row = 0; row < image.height; ++row) {
        const uint8_t* source = image.pixels + stride * row;
        for (int x = 0; x < image.width; ++x, source += 3) {
            *target++ =
                0xFF000000u | (uint32_t(source[2]) << 16) | (uint32_t(source[1]) << 8) | source[0];
        }
    }
    HBITMAP mask = CreateBitmap(image.width, image.height, 1, 1, nullptr);
    ICONINFO info = {};
    info.fIcon = TRUE;
    info.hbmMask = mask;
    info.hbmColor = color;
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(color);
    DeleteObject(mask);
    return icon;
}

}  // namespace

HWND Win32Window() {
    return s_window;
}

void Win32WaitAnswering(HANDLE handle, uint64_t deadlineMs) {
    for (;;) {
        DWORD timeout = kAnswerSliceMs;
        if (deadlineMs != UINT64_MAX) {
            uint64_t now = Win32NowMs();
            if (now >= deadlineMs) return;
            if (deadlineMs - now < timeout) timeout = static_cast<DWORD>(deadlineMs - now);
        }
        if (!s_window) {
            // No window to keep alive: a plain wait.
            if (handle) {
                if (WaitForSingleObject(handle, deadlineMs == UINT64_MAX ? INFINITE : timeout) !=
                    WAIT_TIMEOUT) {
                    return;
                }
            } else {
                Sleep(timeout);
            }
            continue;
        }
        DWORD count = handle ? 1 : 0;
        DWORD woke = MsgWaitForMultipleObjectsEx(count, handle ? &handle : nullptr, timeout,
                                                 QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (handle && woke == WAIT_OBJECT_0) return;
        if (woke == WAIT_FAILED) {
            // A wait that cannot be made must not turn into a spin.
            Sleep(timeout);
            if (handle && WaitForSingleObject(handle, 0) == WAIT_OBJECT_0) return;
        }
        // Short waits (a sound played to its end waits a millisecond at a time) read the queue
        // when something arrived, and at least once a slice.
        if (woke == WAIT_OBJECT_0 + count || Win32NowMs() - s_queueReadMs >= kAnswerSliceMs) {
            ReadQueue(true);
        }
    }
}

SIZE Win32WindowSizeFor(int width, int height) {
    RECT rect = {0, 0, width, height};
    AdjustWindowRectEx(&rect, kStyle, FALSE, kExStyle);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

void Win32RunWindow(const char* title, int width, int height, PlatformMessageHandler handler) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    if (!RegisterWindowClass(instance)) {
        PlatformSetLastError("no window class (error %lu)", GetLastError());
        PlatformReportError("the window cannot be shown");
        return;
    }
    SIZE size = Win32WindowSizeFor(width, height);
    int x = (GetSystemMetrics(SM_CXSCREEN) - size.cx) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - size.cy) / 2;
    std::wstring caption = Win32Wide(title);
    s_window =
        CreateWindowExW(kExStyle, kClassName, caption.c_str(), kStyle, x > 0 ? x : 0, y > 0 ? y : 0,
                        size.cx, size.cy, nullptr, nullptr, instance, nullptr);
    if (!s_window) {
        PlatformSetLastError("no window (error %lu)", GetLastError());
        PlatformReportError("the window cannot be shown");
        return;
    }
    AddAboutItem(s_window);
    // Letters reach the game as letters even where an input method (Chinese, Japanese, Korean)
    // is on: the window has no input context, so the method never turns keys into its own.
    ImmAssociateContextEx(s_window, nullptr, 0);
    LoopBegin(handler);
    LoopDeliver(kMsgInitDialog, 0);
    if (LoopWindowOpen()) {
        ShowWindow(s_window, SW_SHOWNORMAL);
        SetForegroundWindow(s_window);
        UpdateWindow(s_window);
        PlatformTrace("shown");
        LoopPostPaint();
        LoopRun(kWin32Loop, UINT64_MAX);
    }
    DestroyWindow(s_window);
    s_window = nullptr;
    DestroyIcons();
    // Whatever the closing left in the queue belongs to a window that is gone.
    s_heldInput.clear();
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
}

void Win32PaintImage(const PlatformImage& image) {
    if (!s_window || image.width <= 0 || image.height <= 0 || !image.pixels) return;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = image.width;
    info.bmiHeader.biHeight = image.height;  // bottom-up rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    RECT client;
    GetClientRect(s_window, &client);
    HDC dc = GetDC(s_window);
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, 0, 0, client.right, client.bottom, 0, 0, image.width, image.height,
                  image.pixels, &info, DIB_RGB_COLORS, SRCCOPY);
    ReleaseDC(s_window, dc);
}

void Win32SetWindowIcon(const PlatformImage& big, const PlatformImage& small) {
    if (!s_window) return;
    HICON icons[2] = {IconFromImage(big), IconFromImage(small)};
    if (icons[0]) SendMessageW(s_window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icons[0]));
    if (icons[1])
        SendMessageW(s_window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icons[1]));
    DestroyIcons();
    s_icons[0] = icons[0];
    s_icons[1] = icons[1];
}
