// A timing trace of the system backends for measurements, off unless TAPDASH_TRACE names a file
// (under Wine a Windows path, such as Z:\tmp\trace.txt). Each event is one line
// "<nanoseconds> <event> <detail>\n" on the system's monotonic clock: key-downs as they leave the
// system's queue, timer ticks as they reach the window, sounds as they are loaded, played and
// first heard (the device buffer that holds their first sample being filled), and "process" when
// the program's own code starts. Lines from the audio thread and the window's thread never mix.
#pragma once

#include <cstddef>
#include <cstdint>

bool PlatformTraceOn();
uint64_t PlatformTraceNow();
// `detail` "-" when null; `at` the time of the event, now when 0.
void PlatformTrace(const char* event, const char* detail = nullptr, uint64_t at = 0);
void PlatformTraceNumber(const char* event, long long value);

// The first output of a voice that was just played: `PlatformTracePlayed` under the device lock
// when it starts, `PlatformTraceHeard` from the device's thread once its buffer is mixed, with the
// time the mixing began; `PlatformTraceForget` when a voice stops or goes away before that.
void PlatformTracePlayed(const void* voice, const char* label, int pan, int volume);
void PlatformTraceHeard(uint64_t mixStart);
void PlatformTraceForget(const void* voice);

// What each system provides (platform/posix/trace_posix.cpp, platform/win32/trace_win32.cpp):
// whether the file named by TAPDASH_TRACE is open (opened on the first call), appending one whole
// line to it in one step, and the monotonic clock in nanoseconds.
bool TraceFileOpen();
void TraceFileAppend(const char* line, size_t length);
uint64_t TraceClockNow();
