// The Windows backend's pieces, shared between its files and their tests.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstdint>
#include <string>

#include "platform/platform.h"

// Text (win32_text.cpp): the game's strings are UTF-8, Windows takes UTF-16.
std::wstring Win32Wide(const char* text);
std::string Win32Utf8(const wchar_t* text);

// Window and message loop (win32_window.cpp).
void Win32RunWindow(const char* title, int width, int height, PlatformMessageHandler handler);
// The main window, null when none is open.
HWND Win32Window();
// The window's size for a client area of width x height in the main window's style.
SIZE Win32WindowSizeFor(int width, int height);
void Win32PaintImage(const PlatformImage& image);
void Win32SetWindowIcon(const PlatformImage& big, const PlatformImage& small);
// Blocks the game's thread until `handle` is signalled (null: none) or the clock reaches
// `deadlineMs` (UINT64_MAX: none), reading the window's message queue all the while so that
// Windows never marks the window hung. Keys pressed meanwhile wait in the loop's queue, other
// input is held: the game handles them after the block, in order; no key, tick or paint reaches
// it meanwhile. Without a window, a plain wait.
void Win32WaitAnswering(HANDLE handle, uint64_t deadlineMs);

// Keys (win32_keys.cpp). What one key message means to the game (platform/core/key_state.h):
// posts it to the loop, or nothing for a key the game does not take. `system` is true for
// WM_SYSKEYDOWN/UP (Alt held). Returns true when the message was consumed (the window procedure
// must not see it).
bool Win32PostKeyMessage(bool down, bool system, WPARAM virtualKey, LPARAM keyData);
// The character the layout types with the key in the given keyboard state (Shift, AltGr), or
// when that is none (Ctrl held, a dead key) the one it types by itself; 0 for a key that types
// nothing.
uint32_t Win32TypedCharacter(int virtualKey, const BYTE* keyboardState);
// Whether `key` is the left Ctrl that Windows makes up for AltGr on European layouts: a Ctrl
// that is not an extended key, followed (`next`, the next key message) by the extended right
// Alt going the same way with the same message time.
bool Win32IsAltGrCtrl(const MSG& key, const MSG& next);

// Message boxes (win32_dialogs.cpp).
void Win32MessageBox(const char* caption, const char* text);
void Win32AboutBox(const char* caption, const char* text);

// Time and timers (win32_time.cpp).
// Timers ask for the system's fine timer resolution; their schedule is the message loop's.
int Win32SetTimer(int id, int periodMs);
uint64_t Win32NowMs();
void Win32Sleep(int ms);
void Win32Yield();

// Game controller (win32_controller.cpp).
int Win32ControllerOpen();
void Win32ControllerAcquire();
int Win32ControllerPoll();
void Win32ControllerClose();
// After a failed poll the controller is acquired again for as long as its input is reported lost,
// but at most this many times: a controller that keeps reporting it must not hold up the game's
// only thread, and the next tick tries again.
constexpr int kControllerAcquireTries = 8;
// Calls acquire(device) until it reports anything but lost input, at most kControllerAcquireTries
// times; returns its last result.
HRESULT Win32AcquireAfterLoss(HRESULT (*acquire)(void* device), void* device);

// HTTP (win32_http.cpp).
int Win32HttpGet(const char* url, std::string* body, size_t maxBodyBytes);
