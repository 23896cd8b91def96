// The sound output of the Windows backend: the default playback device through WASAPI in shared,
// event-driven mode. A thread of its own asks the render callback for the frames the device needs
// (signed 16-bit stereo at the requested rate) while holding the device lock, and converts them
// to the device's own format.
//
// The thread follows the default device: when Windows names another one, or the one it plays to
// fails (unplugged, switched off, taken exclusively by another program, a driver update), it
// releases everything and opens the default device again, trying about once a second while there
// is none. Meanwhile, and whenever there is no device, it renders into a scratch buffer at the
// pace of the clock, so that sounds still end and waits on them still return.
#pragma once

#include <cstdint>

#include "platform/win32/win32_backend.h"

struct IMMDeviceEnumerator;

typedef void (*WasapiRender)(int16_t* out, int frames);

// Starts the render thread and opens the device. 0 once the thread runs, with the device or
// (*hasDevice false) without one for now; negative when the thread cannot run at all.
// `askedFrames` is a latency the player asked for (0: kWasapiLatencyFrames).
// *periodFrames receives the period the device's engine runs at, in frames of `rate`.
int WasapiOpen(WasapiRender render, int rate, int askedFrames, int* periodFrames, bool* hasDevice);
void WasapiClose();
// The render thread's name, as debuggers and the system's tools show it; WasapiNameSoundThread
// gives it to the calling thread.
constexpr wchar_t kWasapiThreadName[] = L"tapdash sound";
void WasapiNameSoundThread();
// Held while the game changes what the render callback reads.
void WasapiLock();
void WasapiUnlock();

// How far ahead of the device the mix is kept unless the player asks otherwise: 384 frames
// (8 ms at 48000 Hz), a period of 3 ms and 5 ms of slack for a busy machine; where the engine
// runs at a longer period, one period and a sixteenth (510 frames at 10 ms, 10.6 ms), since the
// device takes a period at a time. bench/windows/wasapi_periods.sh counts the periods missed.
constexpr int kWasapiLatencyFrames = 384;

// What the render thread has done since WasapiOpen.
struct WasapiStats {
    int openings;       // devices opened (the first and every reopening)
    int losses;         // devices given up: failed, or no longer the default
    bool device;        // playing to a device now (else to the scratch buffer)
    int periodFrames;   // the device engine's period, in frames of the stream's rate
    int latencyFrames;  // how far ahead of the device the mix is kept
    int aheadFrames;    // how far the clock has been let ahead for a device that runs faster
    uint64_t wakes;     // periods filled
    uint64_t missed;    // periods at which the device had run dry
    uint64_t frames;    // frames rendered, device and scratch buffer alike
};
WasapiStats WasapiGetStats();

// For tests: where the render thread gets its device enumerator (null: the system's own).
typedef HRESULT (*WasapiEnumeratorMaker)(IMMDeviceEnumerator** out);
void WasapiSetEnumeratorMaker(WasapiEnumeratorMaker maker);
