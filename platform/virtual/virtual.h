// The virtual backend, for tests: a clock that moves only when the test runs the loop or a
// blocking call (a sleep, a sound played to its end) advances it; keys injected by the test; and
// a record of every platform call with its arguments and the virtual time it was made at.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/platform.h"

// One recorded platform call.
struct VirtualCall {
    uint64_t timeMs;
    std::string op;     // "SetTimer", "Play", "Stop", "SetPan", "Sleep", "HttpGet", ...
    std::string label;  // the buffer's label (its file), the URL, the message box text, ...
    int a = 0;          // first int argument (pan, volume, flags, timer id, ms, ...)
    int b = 0;          // second int argument
    float x = 0, y = 0, z = 0;
};

// Selects the virtual backend and starts afresh: clock at 0, nothing recorded, no window, no
// buffers, no failures armed, no scripted input, the HTTP handler removed.
void VirtualReset();

uint64_t VirtualNowMs();
// Runs the message loop for `ms` of virtual time (ticks, scheduled keys and paints delivered as
// they fall due). Returns true while the window is still open.
bool VirtualRunFor(uint64_t ms);
// Runs until the window is destroyed or `limitMs` of virtual time have passed.
bool VirtualRunUntilClosed(uint64_t limitMs);

// Input, delivered by the loop at the current virtual time (or at `atMs`, which may fall inside
// a blocking call: the key then waits in the queue as on the real platform).
void VirtualKeyDown(int virtualKey, bool shift = false);
void VirtualKeyUp(int virtualKey);
void VirtualKeyDownAt(uint64_t atMs, int virtualKey, bool shift = false);
void VirtualKeyUpAt(uint64_t atMs, int virtualKey);
void VirtualPress(int virtualKey, bool shift = false);  // key-down then key-up
void VirtualInvalidate();                               // the window needs painting
void VirtualCloseButton();                              // the window's close button
void VirtualSysCommand(int command);                    // a system-menu command (About)
// The window gains (true) or loses (false) activation. Showing the window activates it.
void VirtualActivate(bool active);

// The record.
const std::vector<VirtualCall>& VirtualCalls();
void VirtualClearCalls();
// Calls with this op, optionally only those whose label contains `labelPart`.
std::vector<VirtualCall> VirtualCallsOf(const std::string& op, const std::string& labelPart = "");

// Failure injection: the next `count` calls of `op` fail ("AudioOpen", "SetTimer",
// "CreateBuffer", "Get3D", "CreateListener", "ControllerOpen", "ControllerPoll", "HttpGet", ...).
void VirtualFail(const std::string& op, int count = 1);
// The machine has no sound device (false by default): opening one fails, and with none open,
// creating a buffer or a listener is refused with kAudioErrNoDevice, as on the real platform.
// A fresh start counts as an open device; a failed open or a close leaves none.
void VirtualSetNoDevice(bool none);
// Whether a controller is attached (none by default).
void VirtualAttachController(bool attached);

// HTTP: the handler answers requests instead of the network; it returns 1 with the body, or 0
// for a failed request, and may advance the clock by the time the request takes. Without one,
// every request fails (the virtual backend has no network of its own; a test that wants the
// real network forwards to the system backend's table, g_systemDriver, from its handler).
typedef std::function<int(const std::string& url, std::string* body, uint64_t* durationMs)>
    VirtualHttpHandler;
void VirtualSetHttpHandler(VirtualHttpHandler handler);

// The state of a virtual sound buffer, by label (the first buffer with that label that is still
// alive); for assertions.
struct VirtualBufferState {
    bool exists = false;
    uint32_t status = 0;
    int pan = 0;
    int volume = 0;
    bool is3D = false;
    float x = 0, y = 0, z = 0, minDistance = 0;
};
VirtualBufferState VirtualBuffer(const std::string& label);
// How many buffers are alive (created and not released), and how many listeners.
int VirtualLiveBuffers();
int VirtualLiveListeners();

// The sound operations run the real software device and mixer (platform/sound/soft_audio.h) over a
// virtual device whose periods are rendered as the clock moves; they record the ops listed with
// SoftAudioWatcher there, each with its buffer's label. Failures can be armed with VirtualFail for
// "AudioOpen", "CreateBuffer", "Lock", "Get3D" and "CreateListener".
//
// What the window, time, controller and HTTP calls record: "RunWindow" (label the title, a b the
// size), "SetTimer" (a id, b period), "KillTimer" (a id), "PaintImage" (a b the picture's size),
// "SetWindowIcon", "MessageBox" (label "caption|text"), "AboutBox" (label "caption|text"),
// "Sleep" (a ms), "ControllerOpen", "ControllerAcquire", "ControllerPoll", "ControllerClose",
// "HttpGet" (label the URL). Showing the window delivers an activation and then a paint.

// Records a call, stamped with the current virtual time (used by the virtual backend's parts).
void VirtualRecord(const VirtualCall& call);
bool VirtualShouldFail(const std::string& op);
void VirtualAdvance(uint64_t ms);
