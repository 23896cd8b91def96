#include "platform/real/real_trace.h"

#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

int TraceFile() {
    static const int fd = [] {
        const char* path = std::getenv("TAPDASH_TRACE");
        if (!path || !*path) return -1;
        return open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    }();
    return fd;
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

bool RealTraceOn() {
    return TraceFile() >= 0;
}

uint64_t RealTraceNow() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint64_t>(now.tv_sec) * 1000000000u + static_cast<uint64_t>(now.tv_nsec);
}

void RealTrace(const char* event, const char* detail, uint64_t at) {
    const int fd = TraceFile();
    if (fd < 0) return;
    char line[160];
    const int length = std::snprintf(line, sizeof line, "%llu %s %s\n",
                                     static_cast<unsigned long long>(at ? at : RealTraceNow()),
                                     event, detail ? detail : "-");
    // One write per line: lines from the audio thread and the window's thread never mix.
    if (length > 0)
        (void)!write(fd, line,
                     static_cast<size_t>(length) < sizeof line ? length : sizeof line - 1);
}

void RealTraceNumber(const char* event, long long value) {
    if (!RealTraceOn()) return;
    char text[24];
    std::snprintf(text, sizeof text, "%lld", value);
    RealTrace(event, text);
}

void RealTracePlayed(const void* voice, const char* label, int pan, int volume) {
    if (!RealTraceOn()) return;
    char detail[96];
    std::snprintf(detail, sizeof detail, "%s %d %d", label, pan, volume);
    RealTrace("play", detail);
    RealTraceForget(voice);
    if (s_pendingCount == kMaxPending) return;
    PendingVoice& pending = s_pending[s_pendingCount++];
    pending.voice = voice;
    std::snprintf(pending.label, sizeof pending.label, "%s", label);
}

void RealTraceHeard(uint64_t callbackStart) {
    for (int i = 0; i < s_pendingCount; ++i) RealTrace("heard", s_pending[i].label, callbackStart);
    s_pendingCount = 0;
}

void RealTraceForget(const void* voice) {
    for (int i = 0; i < s_pendingCount; ++i) {
        if (s_pending[i].voice == voice) {
            s_pending[i] = s_pending[--s_pendingCount];
            return;
        }
    }
}

// The moment the program's own code starts (after the loader), for start-up figures.
static const bool s_processTraced = [] {
    RealTrace("process");
    return true;
}();
