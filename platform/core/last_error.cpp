// Why the last platform call failed, for reports: set by the backends where SDL, libcurl or the
// system gives a reason, written to standard error where the game gives up.
#include <cstdarg>
#include <cstdio>
#include <string>

#include "platform/platform.h"

namespace {

std::string s_lastError;

}  // namespace

const char* PlatformLastError() {
    return s_lastError.c_str();
}

void PlatformSetLastError(const char* format, ...) {
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    s_lastError = text;
}

void PlatformClearLastError() {
    s_lastError.clear();
}

void PlatformReportError(const char* what) {
    if (s_lastError.empty()) {
        std::fprintf(stderr, "tapdash: %s\n", what);
    } else {
        std::fprintf(stderr, "tapdash: %s: %s\n", what, s_lastError.c_str());
    }
}
