// The table of what differs between the systems the game runs on, in the manner of a device
// driver: each backend fills one table with designated initialisers, in a library of its own
// (platform/real/ over SDL2 and libcurl, or platform/win32/ on Windows, in tapdash_platform_real;
// platform/virtual/ in tapdash_platform_virtual), and platform.cpp forwards the calls of
// platform.h to the selected table. What is the same everywhere lives once in the shared layer and
// has no slot here: the message loop (queue, timers' due ticks, close, destroy, Shift state), the
// sound operations with their buffers, levels and mixer (soft_audio.cpp, over the device hooks
// below), the last error and the trace. Files and the console are the system's own
// (platform/posix/, platform/win32/) and are linked, not selected.
//
// Every slot is required unless its comment says otherwise. A fourth backend, the browser's
// (platform/web/ on emscripten), fills one like this:
//
//   const PlatformDriver g_webDriver = {
//       .name = "web",
//       .kind = kPlatformReal,
//       .runWindow = WebRunWindow,  // a canvas and the page's keys; the loop on the page's events
//       .paintImage = WebPaintImage,        // putImageData on the canvas
//       .setWindowIcon = WebSetWindowIcon,  // the page's icon, or nothing
//       .messageBox = WebMessageBox,        // a dialog element
//       .aboutBox = WebAboutBox,
//       .nowMs = WebNowMs,  // performance.now()
//       .sleep = WebSleep,
//       .yield = WebYield,
//       .audio = {.open = WebAudioOpen,  // Web Audio: a worklet asks render for each period
//                 .close = WebAudioClose,
//                 .lock = WebAudioLock,
//                 .unlock = WebAudioUnlock},
//       .controllerOpen = WebControllerOpen,  // the Gamepad API, or -1: none
//       .controllerAcquire = WebControllerAcquire,
//       .controllerPoll = WebControllerPoll,
//       .controllerClose = WebControllerClose,
//       .httpGet = WebHttpGet,  // fetch()
//       .soundWatcher = nullptr,
//   };
#pragma once

#include "platform/platform.h"
#include "platform/soft_audio.h"

struct PlatformDriver {
    // The backend's name ("real", "win32", "virtual") and the kind PlatformSelected reports.
    const char* name;
    PlatformKind kind;

    // The window. Creates the one main window (client area width x height, not resizable),
    // delivers kMsgInitDialog through LoopBegin/LoopDeliver (platform/message_loop.h), shows it,
    // and runs LoopRun with the backend's own clock, wait and poll until it is destroyed. The
    // backend posts the system's key events with LoopPostKey (key codes of key_codes.h, the typed
    // character mapped by TypedKeyCode), and paints, activation and close with the other Loop*
    // calls.
    void (*runWindow)(const char* title, int width, int height, PlatformMessageHandler handler);
    // Optional (null: nothing): what the system needs beside the loop's schedule of a periodic
    // timer (platform/core/timers.cpp); setTimer gives 1 on success, 0 to refuse the timer.
    int (*setTimer)(int id, int periodMs);
    void (*killTimer)(int id);
    // The picture stretched over the client area (only during kMsgPaint), and the window's icon.
    void (*paintImage)(const PlatformImage& image);
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
    // running while the game changes what it reads. See SoftAudioHooks (platform/soft_audio.h).
    SoftAudioHooks audio;

    // The game controller: the first attached joystick, its state read and discarded. Open gives
    // 0 or a negative value when there is none; poll 0, or negative when it was lost.
    int (*controllerOpen)();
    void (*controllerAcquire)();
    int (*controllerPoll)();
    void (*controllerClose)();

    // One HTTP GET with the rules of PlatformHttpGet (time-outs, redirects, body limit); the
    // reason of a failure goes to PlatformSetLastError.
    int (*httpGet)(const char* url, std::string* body, size_t maxBodyBytes);

    // Optional (null in every backend but the virtual one): told of each sound operation, and
    // asked whether one is to fail, for the tests' record (SoftAudioWatcher).
    const SoftAudioWatcher* soundWatcher;
};

// Makes `driver` the one every platform call goes to (each backend's selector calls this).
void PlatformSelectDriver(const PlatformDriver* driver);
// The selected table; null until a backend has been selected.
const PlatformDriver* PlatformCurrentDriver();
