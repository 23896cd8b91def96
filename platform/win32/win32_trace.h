// The timing trace of the Windows backend, the same as the real backend's: off unless
// TAPDASH_TRACE names a file (under Wine a Windows path, such as Z:\tmp\trace.txt). Each event is
// one line "<nanoseconds> <event> <detail>" on the performance counter, which is the host's
// CLOCK_MONOTONIC_RAW under Wine.
#pragma once

#include <cstdint>

bool Win32TraceOn();
uint64_t Win32TraceNow();
void Win32Trace(const char* event, const char* detail = nullptr, uint64_t at = 0);
void Win32TraceNumber(const char* event, long long value);
// A voice just played (under the device lock), its first output (from the render thread, with
// the time the render began), and a voice that stopped or went away before that.
void Win32TracePlayed(const void* voice, const char* label, int pan, int volume);
void Win32TraceHeard(uint64_t renderStart);
void Win32TraceForget(const void* voice);
