// The main window's message loop, shared by every backend. The backend feeds it events (keys in
// arrival order, paint requests, close requests) and a clock; the loop decides what is handed
// to the window next: every pending key first, then a pending paint, then a due timer tick.
#pragma once

#include <cstdint>

#include "platform/platform.h"

// What the backend provides to the loop.
struct LoopBackend {
    uint64_t (*now)();
    // Waits until an event has been posted or the clock reaches `deadlineMs`, whichever comes
    // first, posting what arrived with the Loop* functions below. Must return at once when
    // events are already pending.
    void (*wait)(uint64_t deadlineMs);
    // Posts every event that has already arrived, without waiting.
    void (*poll)();
};

// Starts a loop for a new window: clears the queue and the timers and remembers the handler.
void LoopBegin(PlatformMessageHandler handler);
// Forgets the window, its queue and its timers without delivering anything (a test's fresh start).
void LoopReset();
// Whether a window is open (between LoopBegin and the end of kMsgDestroy).
bool LoopWindowOpen();

// Events posted by the backend.
// type is kMsgKeyDown or kMsgKeyUp; flags: kMsgFlagShift when Shift was held.
void LoopPostKey(int type, int virtualKey, int flags);
void LoopPostPaint();
// A close posted from inside the window's handler (the program closing itself) is handled
// before the keys already waiting; one posted from outside takes its turn in arrival order.
void LoopPostClose();
void LoopPostMessage(int type, int wParam);  // kMsgSysCommand, kMsgActivate
bool LoopHasPendingEvents();

// Handles messages until the window has been destroyed or the backend's clock has reached
// `untilMs`. Returns true while the window is still open.
bool LoopRun(const LoopBackend& backend, uint64_t untilMs);

// Timers of the window.
int LoopSetTimer(int id, int periodMs, uint64_t nowMs);
void LoopKillTimer(int id);

// Destroys the window: delivers kMsgDestroy once and ends the loop.
void LoopDestroyWindow();

// The flags of the message being handled (what PlatformIsShiftDown answers from).
int LoopCurrentFlags();

// Delivers one message to the window's handler directly (kMsgInitDialog and the like).
void LoopDeliver(int type, int wParam);
