#include "platform/core/message_loop.h"

#include <cstdio>
#include <deque>

#include "platform/core/trace.h"

namespace {

struct Timer {
    int id;
    int periodMs;
    uint64_t dueMs;
};

constexpr int kMaxTimers = 4;

PlatformMessageHandler s_handler = nullptr;
bool s_open = false;
bool s_destroying = false;
std::deque<PlatformMessage> s_input;  // keys, close and system messages in arrival order
bool s_paintPending = false;
Timer s_timers[kMaxTimers];
int s_currentFlags = 0;
int s_timerCount = 0;
int s_handlerDepth = 0;  // > 0 while the window's handler runs

void CallHandler(const PlatformMessage& msg) {
    if (!s_handler) return;
    ++s_handlerDepth;
    s_handler(msg);
    --s_handlerDepth;
}

}  // namespace

void LoopBegin(PlatformMessageHandler handler) {
    LoopReset();
    s_handler = handler;
    s_open = true;
}

void LoopReset() {
    s_handler = nullptr;
    s_open = false;
    s_destroying = false;
    s_input.clear();
    s_paintPending = false;
    s_timerCount = 0;
    s_currentFlags = 0;
}

bool LoopWindowOpen() {
    return s_open;
}

void LoopDeliver(int type, int wParam) {
    CallHandler(PlatformMessage{type, wParam, 0});
}

void LoopPostKey(int type, int virtualKey, int flags) {
    s_input.push_back(PlatformMessage{type, virtualKey, flags});
}

int LoopCurrentFlags() {
    return s_currentFlags;
}

void LoopPostPaint() {
    s_paintPending = true;
}

void LoopPostClose() {
    // A close asked for by the program from inside a handler is handled next, before keys that
    // were already waiting (the window is closing; they would reach a game that has quit).
    if (s_handlerDepth > 0) {
        s_input.push_front(PlatformMessage{kMsgClose, 0, 0});
    } else {
        s_input.push_back(PlatformMessage{kMsgClose, 0, 0});
    }
}

void LoopPostMessage(int type, int wParam) {
    s_input.push_back(PlatformMessage{type, wParam, 0});
}

bool LoopHasPendingEvents() {
    return !s_input.empty() || s_paintPending;
}

int LoopSetTimer(int id, int periodMs, uint64_t nowMs) {
    if (periodMs <= 0) return 0;
    if (PlatformTraceOn()) {
        char detail[48];
        std::snprintf(detail, sizeof detail, "%d %d %llu", id, periodMs,
                      static_cast<unsigned long long>(nowMs));
        PlatformTrace("timer-set", detail);
    }
    for (int i = 0; i < s_timerCount; ++i) {
        if (s_timers[i].id == id) {
            s_timers[i].periodMs = periodMs;
            s_timers[i].dueMs = nowMs + periodMs;
            return 1;
        }
    }
    if (s_timerCount == kMaxTimers) return 0;
    s_timers[s_timerCount++] = Timer{id, periodMs, nowMs + periodMs};
    return 1;
}

void LoopKillTimer(int id) {
    for (int i = 0; i < s_timerCount; ++i) {
        if (s_timers[i].id == id) {
            s_timers[i] = s_timers[--s_timerCount];
            return;
        }
    }
}

void LoopDestroyWindow() {
    if (!s_open || s_destroying) return;
    s_destroying = true;
    LoopDeliver(kMsgDestroy, 0);
    s_open = false;
    s_input.clear();
    s_paintPending = false;
    s_timerCount = 0;
}

// Hands out the next message that is due, if any. Returns false when nothing is due.
static bool DispatchOne(uint64_t now) {
    if (!s_input.empty()) {
        PlatformMessage msg = s_input.front();
        s_input.pop_front();
        int outerFlags = s_currentFlags;
        s_currentFlags = msg.flags;
        CallHandler(msg);
        s_currentFlags = outerFlags;
        return true;
    }
    if (s_paintPending) {
        s_paintPending = false;
        LoopDeliver(kMsgPaint, 0);
        return true;
    }
    for (int i = 0; i < s_timerCount; ++i) {
        Timer& timer = s_timers[i];
        if (now < timer.dueMs) continue;
        // Like a window timer: one pending tick at most, whatever was missed is dropped.
        timer.dueMs += timer.periodMs;
        if (timer.dueMs <= now) timer.dueMs = now + timer.periodMs;
        if (PlatformTraceOn()) {
            // With the timing trace on: every tick as it reaches the window, on the loop's clock.
            char detail[48];
            std::snprintf(detail, sizeof detail, "%d %llu", timer.id,
                          static_cast<unsigned long long>(now));
            PlatformTrace("tick", detail);
        }
        LoopDeliver(kMsgTimer, timer.id);
        return true;
    }
    return false;
}

static uint64_t NextTimerDue() {
    uint64_t due = UINT64_MAX;
    for (int i = 0; i < s_timerCount; ++i) {
        if (s_timers[i].dueMs < due) due = s_timers[i].dueMs;
    }
    return due;
}

bool LoopRun(const LoopBackend& backend, uint64_t untilMs) {
    while (s_open) {
        // Keys that arrived while a handler blocked come before the tick that fell due meanwhile.
        backend.poll();
        uint64_t now = backend.now();
        if (DispatchOne(now)) continue;
        if (now >= untilMs) break;
        uint64_t deadline = NextTimerDue();
        if (deadline > untilMs) deadline = untilMs;
        backend.wait(deadline);
    }
    return s_open;
}

// The window's close, destroy and Shift state are the shared message loop's in every backend.
void PlatformPostClose() {
    LoopPostClose();
}
void PlatformDestroyWindow() {
    LoopDestroyWindow();
}
int PlatformIsShiftDown() {
    return (LoopCurrentFlags() & kMsgFlagShift) ? 1 : 0;
}
