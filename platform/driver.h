// The table of what differs between the systems the game runs on, in the manner of a device
// driver: each backend fills one table with designated initialisers, in a library of its own, and
// platform.cpp forwards the calls of platform.h to the selected table. The system's backend
// (platform/sdl/ on Linux, platform/win32/ on Windows, platform/web/ in the browser) names its
// table g_systemDriver and PlatformSelectReal selects it; the virtual backend (platform/virtual/)
// is selected by VirtualReset. What is the same everywhere lives once in the core and has no slot
// here: the message loop (platform/core/), the sound operations over the device hooks below
// (platform/sound/), the last error and the trace. Files and the console are the system's own
// (platform/posix/, platform/win32/) and are linked, not selected.
//
// Every backend fills every slot but those whose comment says they may be null and names the
// backends that fill them; for a null slot the dispatch does what that comment says.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"

// Fills `frames` frames of signed 16-bit stereo (left first) at `out`.
typedef void (*SoftAudioRender)(int16_t* out, int frames);

// The sound device under the software sound device (platform/sound/soft_audio.h).
// What a backend provides (its driver table's `audio` slot). Every hook is called on the game's
// thread.
struct SoftAudioHooks {
    // Opens the default playback device for signed 16-bit stereo, left first, asking for
    // `wantedRate` frames a second in periods of `wantedPeriod` frames. From then on the device
    // calls `render` once for each period, on a thread of its own, while it holds the lock of
    // lock() and unlock(). Reports the rate and the period the device really runs at. Returns
    // kAudioOk, or a negative code with the reason left in PlatformLastError().
    int (*open)(SoftAudioRender render, int wantedRate, int wantedPeriod, int* rate, int* period);
    // Stops the device; once it returns, render is never called again.
    void (*close)();
    // Keeps render from running (or waits until the running one has finished) until unlock.
    void (*lock)();
    void (*unlock)();
};

// A watcher of the sound operations (the virtual backend's record, through its driver's
// soundWatcher slot). `called` is told of each operation of platform.h after it ran, by op:
//   "AudioOpen" a = result        "AudioClose" (the buffers still alive end with it)
//   "CreateBuffer" a = result, b = creation flags (no label yet)
//   "Label" label = the name given  "SetPosition" a = byte position, b = result
//   "SetPan" a = pan, b = result    "SetVolume" a = volume, b = result
//   "Play" a = pan in force (0 for a 3D buffer), b = volume in force, x = play flags
//   "Stop"  "Release"  "Get3D" a = result  "Release3D"
//   "SetMinDistance" x = distance, b = result   "SetPosition3D" x, y, z, b = result
//   "CreateListener" a = result     "ReleaseListener" a = result
// (a start, PlatformBufferStart, is told as its four steps: SetPosition, SetPan, SetVolume, Play).
// Lock, unlock and status queries are not told. `refuses` is asked before "AudioOpen",
// "CreateBuffer", "Lock", "Get3D" and "CreateListener": true makes that one fail as a real system
// may (the open as on a machine without a device, leaving none open; the rest as out of memory).
struct SoftAudioCall {
    const char* op;
    const char* label;  // the buffer's label, "" for none
    int a;
    int b;
    float x, y, z;
};
struct SoftAudioWatcher {
    void (*called)(const SoftAudioCall& call);
    bool (*refuses)(const char* op);
};

struct PlatformDriver {
    // The backend's name ("sdl", "win32", "web", "virtual") and the kind PlatformSelected reports.
    const char* name;
    PlatformKind kind;

    // The window. Creates the one main window (client area width x height, not resizable),
    // delivers kMsgInitDialog through LoopBegin/LoopDeliver (platform/core/message_loop.h), shows
    // it, and runs LoopRun with the backend's own clock, wait and poll until it is destroyed. The
    // backend posts the system's key events with LoopPostKey (key codes of key_codes.h, the typed
    // character mapped by TypedKeyCode), and paints, activation and close with the other Loop*
    // calls.
    void (*runWindow)(const char* title, int width, int height, PlatformMessageHandler handler);
    // May be null (sdl, web): what the system needs beside the loop's schedule of a periodic timer
    // (platform/core/timers.cpp); setTimer gives 1 on success, 0 to refuse the timer. Filled by
    // win32 (the system's fine timer resolution) and virtual (the tests' record and refusals).
    int (*setTimer)(int id, int periodMs);
    void (*killTimer)(int id);
    // The picture stretched over the client area (only during kMsgPaint), and the window's icon.
    void (*paintImage)(const PlatformImage& image);
    // May be null (web: the page's icon is the file beside it): the window keeps its icon.
    // Filled by sdl, win32, virtual.
    void (*setWindowIcon)(const PlatformImage& big, const PlatformImage& small);
    // Modal boxes owned by the main window, returning once the player closed them.
    void (*messageBox)(const char* caption, const char* text);
    // The About box shows its text's lines one under the other (platform/core/about.cpp).
    void (*aboutBox)(const char* caption, const char* text);

    // Time: the monotonic clock in milliseconds (the loop's and the timers' clock), a blocking
    // sleep, and a yield of about a millisecond.
    uint64_t (*nowMs)();
    void (*sleep)(int ms);
    void (*yield)();

    // The sound device under the shared mixer: open (a stream of 16-bit stereo periods filled by
    // calling the render function it is given), close, and the lock that keeps render from
    // running while the game changes what it reads. See SoftAudioHooks above.
    SoftAudioHooks audio;

    // The game controller: the first attached joystick, its state read and discarded. Open gives
    // 0 or a negative value when there is none; poll 0, or negative when it was lost. Open, poll
    // and close may be null together (web: a page sees a controller only after a button press,
    // and the game only discards its state): then there is none. Filled by sdl, win32, virtual.
    int (*controllerOpen)();
    // May be null (sdl and web: nothing to take over): nothing is done. Filled by win32, virtual.
    void (*controllerAcquire)();
    int (*controllerPoll)();
    void (*controllerClose)();

    // One HTTP GET with the rules of PlatformHttpGet (time-outs, redirects, body limit); the
    // reason of a failure goes to PlatformSetLastError.
    int (*httpGet)(const char* url, std::string* body, size_t maxBodyBytes);

    // May be null (sdl, win32): told of each sound operation, and asked whether one is to fail
    // (SoftAudioWatcher). Filled by virtual (the tests' record) and web (the page's note of each
    // play, for its latency figures).
    const SoftAudioWatcher* soundWatcher;
};

// The system's backend: defined by the one of platform/sdl/, platform/win32/ or platform/web/
// this build links (platform/CMakeLists.txt chooses it).
extern const PlatformDriver g_systemDriver;

// Makes `driver` the one every platform call goes to (PlatformSelectReal, VirtualReset).
void PlatformSelectDriver(const PlatformDriver* driver);
// The selected table; null until a backend has been selected.
const PlatformDriver* PlatformCurrentDriver();
