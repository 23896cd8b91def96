// The timing trace's file and clock on POSIX systems (platform/core/trace.h): CLOCK_MONOTONIC.
#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/core/trace.h"

namespace {

int TraceFile() {
    static const int fd = [] {
        const char* path = std::getenv("TAPDASH_TRACE");
        if (!path || !*path) return -1;
        return open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    }();
    return fd;
}

}  // namespace

bool TraceFileOpen() {
    return TraceFile() >= 0;
}

void TraceFileAppend(const char* line, size_t length) {
    // One write per line: an append of one write never mixes with another thread's.
    (void)!write(TraceFile(), line, length);
}

uint64_t TraceClockNow() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint64_t>(now.tv_sec) * 1000000000u + static_cast<uint64_t>(now.tv_nsec);
}
