// The clock, sleep and window timers. The shared loop keeps each timer's schedule (one rule for
// every backend: at most one tick after a block); the window timer set beside it wakes the
// loop's wait with a WM_TIMER when a tick falls due.

#include "platform/message_loop.h"
#include "platform/win32/win32_backend.h"
#include "platform/win32/win32_trace.h"
// After windows.h, which they need.
#include <mmsystem.h>

#include <cstdio>

namespace {

// Sleep and the timers run at the system's coarse tick (15.6 ms) unless asked for better.
struct FineTimerResolution {
    FineTimerResolution() { timeBeginPeriod(1); }
    ~FineTimerResolution() { timeEndPeriod(1); }
};

void AskFineResolution() {
    static FineTimerResolution s_resolution;
}

}  // namespace

int Win32SetTimer(int id, int periodMs) {
    AskFineResolution();
    const uint64_t now = Win32NowMs();
    if (Win32TraceOn()) {
        char detail[48];
        std::snprintf(detail, sizeof detail, "%d %d %llu", id, periodMs,
                      static_cast<unsigned long long>(now));
        Win32Trace("timer-set", detail);
    }
    if (!LoopSetTimer(id, periodMs, now)) return 0;
    if (HWND window = Win32Window()) SetTimer(window, static_cast<UINT_PTR>(id), periodMs, nullptr);
    return 1;
}

void Win32KillTimer(int id) {
    LoopKillTimer(id);
    if (HWND window = Win32Window()) KillTimer(window, static_cast<UINT_PTR>(id));
}

uint64_t Win32NowMs() {
    static LARGE_INTEGER s_frequency = [] {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        return frequency;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<uint64_t>(counter.QuadPart / (s_frequency.QuadPart / 1000));
}

void Win32Sleep(int ms) {
    AskFineResolution();
    if (ms > 0) Sleep(static_cast<DWORD>(ms));
}

void Win32Yield() {
    AskFineResolution();
    Sleep(1);
}
