// The clock, sleep and window timers. The shared loop keeps each timer's schedule (one rule for
// every backend: at most one tick after a block) and its wait for messages ends when the next
// tick is due. A Windows timer (SetTimer) beside it would only wake the loop a second time for
// each tick: under Wine that took the idle menu from 1.8% to 2.75% of a core.

#include "platform/win32/win32_backend.h"
// After windows.h, which they need.
#include <mmsystem.h>

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

int Win32SetTimer(int, int) {
    AskFineResolution();
    return 1;
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

// Both block the game while the window keeps answering (win32_window.cpp).
void Win32Sleep(int ms) {
    AskFineResolution();
    if (ms > 0) Win32WaitAnswering(nullptr, Win32NowMs() + static_cast<uint64_t>(ms));
}

void Win32Yield() {
    AskFineResolution();
    Win32WaitAnswering(nullptr, Win32NowMs() + 1);
}
