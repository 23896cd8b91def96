#include "platform/win32/win32_trace.h"

#include <cstdio>
#include <cstdlib>

#include "platform/win32/win32_backend.h"

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

struct PendingVoice {
    const void* voice;
    char label[64];
};

// Voices played and not yet mixed; changed under the device lock only.
constexpr int kMaxPending = 64;
PendingVoice s_pending[kMaxPending];
int s_pendingCount = 0;

}  // namespace

bool Win32TraceOn() {
    return TraceFile() != INVALID_HANDLE_VALUE;
}

uint64_t Win32TraceNow() {
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

void Win32Trace(const char* event, const char* detail, uint64_t at) {
    const HANDLE file = TraceFile();
    if (file == INVALID_HANDLE_VALUE) return;
    char line[160];
    int length = std::snprintf(line, sizeof line, "%llu %s %s\n",
                               static_cast<unsigned long long>(at ? at : Win32TraceNow()), event,
                               detail ? detail : "-");
    if (length <= 0) return;
    if (length >= int(sizeof line)) length = sizeof line - 1;
    // One append per line, one writer at a time: lines from the render thread and the window's
    // thread never mix (an append is not one step on every system).
    static SRWLOCK s_lock = SRWLOCK_INIT;
    AcquireSRWLockExclusive(&s_lock);
    DWORD written = 0;
    WriteFile(file, line, static_cast<DWORD>(length), &written, nullptr);
    ReleaseSRWLockExclusive(&s_lock);
}

void Win32TraceNumber(const char* event, long long value) {
    if (!Win32TraceOn()) return;
    char text[24];
    std::snprintf(text, sizeof text, "%lld", value);
    Win32Trace(event, text);
}

void Win32TracePlayed(const void* voice, const char* label, int pan, int volume) {
    if (!Win32TraceOn()) return;
    char detail[96];
    std::snprintf(detail, sizeof detail, "%s %d %d", label, pan, volume);
    Win32Trace("play", detail);
    Win32TraceForget(voice);
    if (s_pendingCount == kMaxPending) return;
    PendingVoice& pending = s_pending[s_pendingCount++];
    pending.voice = voice;
    std::snprintf(pending.label, sizeof pending.label, "%s", label);
}

void Win32TraceHeard(uint64_t renderStart) {
    for (int i = 0; i < s_pendingCount; ++i) Win32Trace("heard", s_pending[i].label, renderStart);
    s_pendingCount = 0;
}

void Win32TraceForget(const void* voice) {
    for (int i = 0; i < s_pendingCount; ++i) {
        if (s_pending[i].voice == voice) {
            s_pending[i] = s_pending[--s_pendingCount];
            return;
        }
    }
}

// The moment the program's own code starts (after the loader), for start-up figures.
static const bool s_processTraced = [] {
    Win32Trace("process");
    return true;
}();
