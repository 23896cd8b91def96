// The software sound device: every sound operation of platform.h (PlatformAudioOpen,
// PlatformCreateBuffer, PlatformBufferPlay, ...) over our own mixer, the same under every backend.
// It keeps the buffers and their voices, turns volume and pan or a 3D position into the mixer's
// gains, reads each buffer's samples where they are when they are 16-bit at the device's rate
// (else converts them once, at unlock), and fills the device's periods with the voices that play.
//
// A backend provides only the device, through the four hooks of its driver table's `audio` slot:
// a stream of periods to fill (SDL's audio device, WASAPI, a browser's audio worklet) or, in the
// virtual backend, periods rendered as its virtual clock moves. With no device open, creating a
// buffer or a listener is refused with kAudioErrNoDevice, so a game without sound loads only
// empty sounds and never waits for one.
#pragma once

#include <cstdint>

#include "platform/platform.h"

// Fills `frames` frames of signed 16-bit stereo (left first) at `out`.
typedef void (*SoftAudioRender)(int16_t* out, int frames);
// The device period, in frames, that the software device asks for unless TAPDASH_AUDIO_PERIOD
// names another.
constexpr int kSoftAudioDefaultPeriod = 512;

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

// A device that never plays by itself: its output is made only by SoftAudioRenderNow, at the
// mixer's rate in periods of 512 frames. For tests and benchmarks.
extern const SoftAudioHooks kSoftAudioManualDevice;

// The device period asked for at open: 512 frames unless set (a power of two from 64 to 8192;
// anything else is refused and the period stays). Returns 1 when taken, 0 when refused.
int SoftAudioSetPeriod(int frames);
int SoftAudioWantedPeriod();

// Opens the device through `hooks` (kept until close): kAudioOk when they are open already; a
// device open through other hooks is closed first.
// PlatformAudioOpen opens the selected backend's device this way; tests and benchmarks may open
// kSoftAudioManualDevice directly.
int SoftAudioOpen(const SoftAudioHooks* hooks);
// Closes the device; the buffers still alive end with it.
void SoftAudioClose();
bool SoftAudioIsOpen();
// The frames of one device period (what a play call may wait before it is heard), and the rate.
int SoftAudioDeviceFrames();
int SoftAudioDeviceRate();
// Mixes `frames` frames of every playing buffer into `out`, as the device does, and moves the
// buffers on (under the device's lock).
void SoftAudioRenderNow(int16_t* out, int frames);

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

struct AudioBufferSet;
// Every buffer, 3D interface and listener of the open device, for the virtual backend's queries.
const AudioBufferSet& SoftAudioBuffers();
