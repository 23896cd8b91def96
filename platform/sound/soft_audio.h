// The software sound device: every sound operation of platform.h (PlatformAudioOpen,
// PlatformCreateBuffer, PlatformBufferPlay, ...) over our own mixer, the same under every backend.
// It keeps the buffers and their voices, turns volume and pan or a 3D position into the mixer's
// gains, reads each buffer's samples where they are when they are 16-bit at the device's rate
// (else converts them once, at unlock), and fills the device's periods with the voices that play.
//
// A backend provides only the device, through the four hooks of its driver table's `audio` slot
// (SoftAudioHooks, platform/driver.h):
// a stream of periods to fill (SDL's audio device, WASAPI, a browser's audio worklet) or, in the
// virtual backend, periods rendered as its virtual clock moves. With no device open, creating a
// buffer or a listener is refused with kAudioErrNoDevice, so a game without sound loads only
// empty sounds and never waits for one.
#pragma once

#include <cstdint>

#include "platform/driver.h"
#include "platform/platform.h"

// The device period, in frames, that the software device asks for unless TAPDASH_AUDIO_PERIOD
// names another.
constexpr int kSoftAudioDefaultPeriod = 512;

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

struct AudioBufferSet;
// Every buffer, 3D interface and listener of the open device, for the virtual backend's queries.
const AudioBufferSet& SoftAudioBuffers();
