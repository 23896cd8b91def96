#include "platform/core/trace.h"

#include <cstdio>

namespace {

struct PendingVoice {
    const void* voice;
    char label[64];
};

// Voices played and not yet mixed; changed under the device lock only.
constexpr int kMaxPending = 64;
PendingVoice s_pending[kMaxPending];
int s_pendingCount = 0;

}  // namespace

bool PlatformTraceOn() {
    return TraceFileOpen();
}

uint64_t PlatformTraceNow() {
    return TraceClockNow();
}

void PlatformTrace(const char* event, const char* detail, uint64_t at) {
    if (!TraceFileOpen()) return;
    char line[160];
    const int length = std::snprintf(line, sizeof line, "%llu %s %s\n",
                                     static_cast<unsigned long long>(at ? at : TraceClockNow()),
                                     event, detail ? detail : "-");
    if (length <= 0) return;
    TraceFileAppend(line, static_cast<size_t>(length) < sizeof line ? static_cast<size_t>(length)
                                                                    : sizeof line - 1);
}

void PlatformTraceNumber(const char* event, long long value) {
    if (!PlatformTraceOn()) return;
    char text[24];
    std::snprintf(text, sizeof text, "%lld", value);
    PlatformTrace(event, text);
}

void PlatformTracePlayed(const void* voice, const char* label, int pan, int volume) {
    if (!PlatformTraceOn()) return;
    char detail[96];
    std::snprintf(detail, sizeof detail, "%s %d %d", label, pan, volume);
    PlatformTrace("play", detail);
    PlatformTraceForget(voice);
    if (s_pendingCount == kMaxPending) return;
    PendingVoice& pending = s_pending[s_pendingCount++];
    pending.voice = voice;
    std::snprintf(pending.label, sizeof pending.label, "%s", label);
}

void PlatformTraceHeard(uint64_t mixStart) {
    for (int i = 0; i < s_pendingCount; ++i) PlatformTrace("heard", s_pending[i].label, mixStart);
    s_pendingCount = 0;
}

void PlatformTraceForget(const void* voice) {
    for (int i = 0; i < s_pendingCount; ++i) {
        if (s_pending[i].voice == voice) {
            s_pending[i] = s_pending[--s_pendingCount];
            return;
        }
    }
}

// The moment the program's own code starts (after the loader), for start-up figures.
static const bool s_processTraced = [] {
    PlatformTrace("process");
    return true;
}();
