// The software sound device: every buffer operation of platform.h over our own mixer, the same
// for every backend that has a plain stream of samples to fill (SDL's audio device, WASAPI). It
// keeps the buffers and their voices, turns volume and pan or a 3D position into the mixer's
// gains, reads each buffer's samples where they are when they are 16-bit at the device's rate
// (else converts them once, at unlock), and fills the device's periods with the voices that play.
//
// A backend provides the device through four hooks and fills its table with the SoftAudio*
// functions below. With no device open, creating a buffer or a listener is refused with
// kAudioErrNoDevice, so a game without sound loads only empty sounds and never waits for one.
#pragma once

#include <cstdint>

#include "platform/platform.h"

// Fills `frames` frames of signed 16-bit stereo (left first) at `out`.
typedef void (*SoftAudioRender)(int16_t* out, int frames);

// What a backend provides. Every hook is called on the game's thread.
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

// Opens the device through `hooks` (kept until close). kAudioOk when already open.
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

// The buffer operations, with the meaning of platform.h's.
int SoftAudioCreateBuffer(const PlatformWaveFormat* format, uint32_t bytes, int flags,
                          Audio3DAlgorithm algorithm, PlatformBuffer* out);
int SoftAudioBufferLock(PlatformBuffer buffer, uint32_t offset, uint32_t bytes, void** region1,
                        uint32_t* bytes1, void** region2, uint32_t* bytes2);
int SoftAudioBufferUnlock(PlatformBuffer buffer, void* region1, uint32_t bytes1, void* region2,
                          uint32_t bytes2);
int SoftAudioBufferSetPosition(PlatformBuffer buffer, uint32_t bytePosition);
int SoftAudioBufferSetPan(PlatformBuffer buffer, int pan);
int SoftAudioBufferSetVolume(PlatformBuffer buffer, int volume);
int SoftAudioBufferPlay(PlatformBuffer buffer, int flags);
int SoftAudioBufferStop(PlatformBuffer buffer);
int SoftAudioBufferGetStatus(PlatformBuffer buffer, uint32_t* status);
void SoftAudioBufferRelease(PlatformBuffer buffer);
void SoftAudioBufferSetLabel(PlatformBuffer buffer, const char* label);
int SoftAudioBufferGet3D(PlatformBuffer buffer, PlatformBuffer3D* out);
int SoftAudioBuffer3DSetMinDistance(PlatformBuffer3D buffer3D, float distance);
int SoftAudioBuffer3DSetPosition(PlatformBuffer3D buffer3D, float x, float y, float z);
void SoftAudioBuffer3DRelease(PlatformBuffer3D buffer3D);
int SoftAudioCreateListener(PlatformListener* out);
void SoftAudioListenerRelease(PlatformListener listener);
