// The timing trace's file and clock on Windows (platform/core/trace.h): the performance counter,
// which is the host's CLOCK_MONOTONIC_RAW under Wine.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstdlib>

#include "platform/core/trace.h"

namespace {

HANDLE TraceFile() {
    static const HANDLE file = [] {
        const wchar_t* path = _wgetenv(L"TAPDASH_TRACE");
        if (!path || !*path) return INVALID_HANDLE_VALUE;
        return CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    }();
    return file;
}

}  // namespace

bool TraceFileOpen() {
    return TraceFile() != INVALID_HANDLE_VALUE;
}

void TraceFileAppend(const char* line, size_t length) {
    // One append per line, one writer at a time: lines from the render thread and the window's
    // thread never mix (an append is not one step on every system).
    static SRWLOCK s_lock = SRWLOCK_INIT;
    AcquireSRWLockExclusive(&s_lock);
    DWORD written = 0;
    WriteFile(TraceFile(), line, static_cast<DWORD>(length), &written, nullptr);
    ReleaseSRWLockExclusive(&s_lock);
}

uint64_t TraceClockNow() {
    static const uint64_t s_frequency = [] {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        return static_cast<uint64_t>(frequency.QuadPart);
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    const uint64_t ticks = static_cast<uint64_t>(counter.QuadPart);
    return ticks / s_frequency * 1000000000u + ticks % s_frequency * 1000000000u / s_frequency;
}
