// A timing trace of the real backend for measurements, off unless TAPDASH_TRACE names a file.
// Each event is one line "<CLOCK_MONOTONIC nanoseconds> <event> <detail>": key-downs as they
// leave SDL's queue, timer ticks as they reach the window, sounds as they are loaded, played and
// first heard (the device buffer that holds their first sample being filled).
#pragma once

#include <cstdint>

bool RealTraceOn();
uint64_t RealTraceNow();
void RealTrace(const char* event, const char* detail = nullptr, uint64_t at = 0);
void RealTraceNumber(const char* event, long long value);

// The first output of a voice that was just played: `RealTracePlayed` under the device lock when
// it starts, `RealTraceHeard` from the device callback once its buffer is mixed, with the time
// the callback began; `RealTraceForget` when a voice stops or goes away before that.
void RealTracePlayed(const void* voice, const char* label, int pan, int volume);
void RealTraceHeard(uint64_t callbackStart);
void RealTraceForget(const void* voice);
