// The bookkeeping of the software sound device's buffers (soft_audio.cpp): which formats are
// accepted, the lock and unlock of a buffer's bytes, the ranges of pan and volume, the 3D
// interfaces and the listener, and the lifetime of every handle. How a buffer sounds and how its
// play position moves is the mixer's.
//
// Handles are numbers that are never reused, so a handle kept after its buffer was released (or
// after the device was closed) is refused instead of reaching freed memory.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"

// The largest buffer a backend accepts, in bytes.
constexpr uint32_t kMaxAudioBufferBytes = 0x0FFFFFFF;
// The minimum distance of a new 3D buffer, in metres.
constexpr float kDefaultMinDistance = 1.0f;

struct AudioBuffer {
    PlatformBuffer handle = nullptr;
    PlatformWaveFormat format{};
    uint32_t bytes = 0;
    int flags = 0;
    uint8_t* data = nullptr;  // `bytes` of samples as written through lock (sample memory)
    bool locked = false;
    uint32_t lockedOffset = 0, lockedBytes = 0;
    int pan = 0;
    int volume = 0;
    float x = 0, y = 0, z = 0;
    float minDistance = kDefaultMinDistance;
    bool released = false;  // the buffer's own reference is gone; 3D interfaces may remain
    int live3D = 0;         // 3D interfaces handed out and not yet released
    std::string label;
    void* voice = nullptr;  // the backend's playing state
};

// All buffers, 3D interfaces and listeners of the device.
struct AudioBufferSet {
    std::map<uintptr_t, AudioBuffer*> buffers;  // in order of creation
    std::map<uintptr_t, AudioBuffer*> interfaces3D;
    std::set<uintptr_t> listeners;
};

// Whether the format and size can make a buffer: kAudioOk or a negative code.
int AudioCheckFormat(const PlatformWaveFormat* format, uint32_t bytes, int flags);

// Creates a stopped buffer at position 0 filled with silence. Returns kAudioOk, or
// kAudioSubstituted for a 3D buffer that asked for a head-related transfer function (it is
// positioned by panning and filtering instead), or a negative code with *out left null.
int AudioBufferCreate(AudioBufferSet& set, const PlatformWaveFormat* format, uint32_t bytes,
                      int flags, Audio3DAlgorithm algorithm, AudioBuffer** out);

// The live buffer behind a handle, or null for a null, released or unknown handle.
AudioBuffer* AudioBufferFind(AudioBufferSet& set, PlatformBuffer handle);
// The buffer behind a live 3D interface, or null.
AudioBuffer* AudioBuffer3DFind(AudioBufferSet& set, PlatformBuffer3D handle);

// One lock at a time. A region that runs past the end of the buffer wraps to its start as the
// second region.
int AudioBufferLock(AudioBuffer* buffer, uint32_t offset, uint32_t bytes, void** region1,
                    uint32_t* bytes1, void** region2, uint32_t* bytes2);
// Takes back the regions of the lock (the same pointers, at most the lengths handed out).
int AudioBufferUnlock(AudioBuffer* buffer, void* region1, uint32_t bytes1, void* region2,
                      uint32_t bytes2);

// Out of range, or a buffer without that control: a negative code and the old value stays.
int AudioBufferSetPan(AudioBuffer* buffer, int pan);
int AudioBufferSetVolume(AudioBuffer* buffer, int volume);
// The pan the buffer plays with: 0 for a buffer without pan control.
int AudioBufferPanInForce(const AudioBuffer* buffer);
// A play position inside the buffer; at or beyond the end is refused.
int AudioBufferCheckPosition(const AudioBuffer* buffer, uint32_t bytePosition);

bool AudioBufferIs3D(const AudioBuffer* buffer);
// A 3D interface for a 3D buffer; refused for other buffers.
int AudioBufferGet3D(AudioBufferSet& set, AudioBuffer* buffer, PlatformBuffer3D* out);
// A minimum distance must be positive and finite; a position finite.
int AudioBufferSetMinDistance(AudioBuffer* buffer, float distance);
int AudioBufferSetPosition3D(AudioBuffer* buffer, float x, float y, float z);

// Drops the buffer's own reference. Returns the buffer when nothing refers to it any more: the
// backend then frees its voice and calls AudioBufferDestroy.
AudioBuffer* AudioBufferRelease(AudioBufferSet& set, AudioBuffer* buffer);
// Drops a 3D interface; returns its buffer when that was the last reference, as above.
AudioBuffer* AudioBuffer3DRelease(AudioBufferSet& set, PlatformBuffer3D handle);
void AudioBufferDestroy(AudioBuffer* buffer);
// Every buffer still in the set, for the backend to free (the set is emptied).
std::vector<AudioBuffer*> AudioBufferTakeAll(AudioBufferSet& set);

int AudioListenerCreate(AudioBufferSet& set, PlatformListener* out);
// Whether the handle was a live listener (it is then gone).
bool AudioListenerRelease(AudioBufferSet& set, PlatformListener listener);
