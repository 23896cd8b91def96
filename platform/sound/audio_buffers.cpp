#include "platform/sound/audio_buffers.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "platform/sound/sample_memory.h"

namespace {

// Shared by every set, so a handle of one backend never names a buffer of the other.
uintptr_t s_nextHandle = 1;

uintptr_t Key(const void* handle) {
    return reinterpret_cast<uintptr_t>(handle);
}

template <typename Handle>
Handle NewHandle() {
    return reinterpret_cast<Handle>(s_nextHandle++);
}

bool HasFlag(const AudioBuffer* buffer, int flag) {
    return (buffer->flags & flag) != 0;
}

}  // namespace

int AudioCheckFormat(const PlatformWaveFormat* format, uint32_t bytes, int flags) {
    if (!format) return kAudioErrInvalidParam;
    if (bytes == 0 || bytes > kMaxAudioBufferBytes) return kAudioErrInvalidParam;
    // A 3D buffer is placed by the listener's geometry, never panned by hand.
    if ((flags & kBufferCtrl3D) && (flags & kBufferCtrlPan)) return kAudioErrInvalidParam;
    if (format->formatTag != 1) return kAudioErrBadFormat;
    if (format->bitsPerSample != 8 && format->bitsPerSample != 16) return kAudioErrBadFormat;
    if (format->channels != 1 && format->channels != 2) return kAudioErrBadFormat;
    if (format->samplesPerSec < 100 || format->samplesPerSec > 200000) return kAudioErrBadFormat;
    const uint32_t blockAlign = format->channels * format->bitsPerSample / 8u;
    if (format->blockAlign != blockAlign) return kAudioErrBadFormat;
    if (format->avgBytesPerSec != format->samplesPerSec * blockAlign) return kAudioErrBadFormat;
    return kAudioOk;
}

int AudioBufferCreate(AudioBufferSet& set, const PlatformWaveFormat* format, uint32_t bytes,
                      int flags, Audio3DAlgorithm algorithm, AudioBuffer** out) {
    if (!out) return kAudioErrInvalidParam;
    *out = nullptr;
    int check = AudioCheckFormat(format, bytes, flags);
    if (check < 0) return check;
    AudioBuffer* buffer = new (std::nothrow) AudioBuffer;
    if (!buffer) return kAudioErrOutOfMemory;
    buffer->data = SampleMemoryAllocate(bytes);
    if (!buffer->data) {
        delete buffer;
        return kAudioErrOutOfMemory;
    }
    if (format->bitsPerSample == 8) std::memset(buffer->data, 0x80, bytes);
    buffer->handle = NewHandle<PlatformBuffer>();
    buffer->format = *format;
    buffer->bytes = bytes;
    buffer->flags = flags;
    set.buffers[Key(buffer->handle)] = buffer;
    *out = buffer;
    if ((flags & kBufferCtrl3D) && algorithm == kAlgorithmHrtfFull) return kAudioSubstituted;
    return kAudioOk;
}

AudioBuffer* AudioBufferFind(AudioBufferSet& set, PlatformBuffer handle) {
    auto it = set.buffers.find(Key(handle));
    if (it == set.buffers.end() || it->second->released) return nullptr;
    return it->second;
}

AudioBuffer* AudioBuffer3DFind(AudioBufferSet& set, PlatformBuffer3D handle) {
    auto it = set.interfaces3D.find(Key(handle));
    return it == set.interfaces3D.end() ? nullptr : it->second;
}

int AudioBufferLock(AudioBuffer* buffer, uint32_t offset, uint32_t bytes, void** region1,
                    uint32_t* bytes1, void** region2, uint32_t* bytes2) {
    if (!region1 || !bytes1) return kAudioErrInvalidParam;
    *region1 = nullptr;
    *bytes1 = 0;
    if (region2) *region2 = nullptr;
    if (bytes2) *bytes2 = 0;
    if (!buffer || buffer->locked) return kAudioErrInvalidParam;
    if (offset >= buffer->bytes || bytes == 0 || bytes > buffer->bytes) {
        return kAudioErrInvalidParam;
    }
    const uint32_t first = std::min(bytes, buffer->bytes - offset);
    const uint32_t second = bytes - first;
    if (second > 0 && (!region2 || !bytes2)) return kAudioErrInvalidParam;
    *region1 = buffer->data + offset;
    *bytes1 = first;
    if (second > 0) {
        *region2 = buffer->data;
        *bytes2 = second;
    }
    buffer->locked = true;
    buffer->lockedOffset = offset;
    buffer->lockedBytes = bytes;
    return kAudioOk;
}

int AudioBufferUnlock(AudioBuffer* buffer, void* region1, uint32_t bytes1, void* region2,
                      uint32_t bytes2) {
    if (!buffer || !buffer->locked) return kAudioErrInvalidParam;
    const uint32_t first = std::min(buffer->lockedBytes, buffer->bytes - buffer->lockedOffset);
    const uint32_t second = buffer->lockedBytes - first;
    if (region1 != buffer->data + buffer->lockedOffset || bytes1 > first) {
        return kAudioErrInvalidParam;
    }
    if (bytes2 > 0 && (region2 != buffer->data || bytes2 > second)) {
        return kAudioErrInvalidParam;
    }
    buffer->locked = false;
    return kAudioOk;
}

int AudioBufferSetPan(AudioBuffer* buffer, int pan) {
    if (!buffer) return kAudioErrInvalidParam;
    if (!HasFlag(buffer, kBufferCtrlPan)) return kAudioErrGeneric;
    if (pan < -10000 || pan > 10000) return kAudioErrInvalidParam;
    buffer->pan = pan;
    return kAudioOk;
}

int AudioBufferSetVolume(AudioBuffer* buffer, int volume) {
    if (!buffer) return kAudioErrInvalidParam;
    if (!HasFlag(buffer, kBufferCtrlVolume)) return kAudioErrGeneric;
    if (volume < -10000 || volume > 0) return kAudioErrInvalidParam;
    buffer->volume = volume;
    return kAudioOk;
}

int AudioBufferPanInForce(const AudioBuffer* buffer) {
    return HasFlag(buffer, kBufferCtrlPan) ? buffer->pan : 0;
}

int AudioBufferCheckPosition(const AudioBuffer* buffer, uint32_t bytePosition) {
    if (!buffer) return kAudioErrInvalidParam;
    if (bytePosition >= buffer->bytes) return kAudioErrInvalidParam;
    return kAudioOk;
}

bool AudioBufferIs3D(const AudioBuffer* buffer) {
    return HasFlag(buffer, kBufferCtrl3D);
}

int AudioBufferGet3D(AudioBufferSet& set, AudioBuffer* buffer, PlatformBuffer3D* out) {
    if (!out) return kAudioErrInvalidParam;
    *out = nullptr;
    if (!buffer) return kAudioErrInvalidParam;
    if (!AudioBufferIs3D(buffer)) return kAudioErrGeneric;
    PlatformBuffer3D handle = NewHandle<PlatformBuffer3D>();
    set.interfaces3D[Key(handle)] = buffer;
    ++buffer->live3D;
    *out = handle;
    return kAudioOk;
}

int AudioBufferSetMinDistance(AudioBuffer* buffer, float distance) {
    if (!buffer) return kAudioErrInvalidParam;
    if (!std::isfinite(distance) || distance <= 0) return kAudioErrInvalidParam;
    buffer->minDistance = distance;
    return kAudioOk;
}

int AudioBufferSetPosition3D(AudioBuffer* buffer, float x, float y, float z) {
    if (!buffer) return kAudioErrInvalidParam;
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z)) return kAudioErrInvalidParam;
    buffer->x = x;
    buffer->y = y;
    buffer->z = z;
    return kAudioOk;
}

AudioBuffer* AudioBufferRelease(AudioBufferSet& set, AudioBuffer* buffer) {
    if (!buffer || buffer->released) return nullptr;
    buffer->released = true;
    if (buffer->live3D > 0) return nullptr;
    set.buffers.erase(Key(buffer->handle));
    return buffer;
}

AudioBuffer* AudioBuffer3DRelease(AudioBufferSet& set, PlatformBuffer3D handle) {
    auto it = set.interfaces3D.find(Key(handle));
    if (it == set.interfaces3D.end()) return nullptr;
    AudioBuffer* buffer = it->second;
    set.interfaces3D.erase(it);
    --buffer->live3D;
    if (!buffer->released || buffer->live3D > 0) return nullptr;
    set.buffers.erase(Key(buffer->handle));
    return buffer;
}

void AudioBufferDestroy(AudioBuffer* buffer) {
    if (!buffer) return;
    SampleMemoryFree(buffer->data);
    delete buffer;
}

std::vector<AudioBuffer*> AudioBufferTakeAll(AudioBufferSet& set) {
    std::vector<AudioBuffer*> all;
    for (auto& entry : set.buffers) all.push_back(entry.second);
    set.buffers.clear();
    set.interfaces3D.clear();
    set.listeners.clear();
    return all;
}

int AudioListenerCreate(AudioBufferSet& set, PlatformListener* out) {
    if (!out) return kAudioErrInvalidParam;
    *out = NewHandle<PlatformListener>();
    set.listeners.insert(Key(*out));
    return kAudioOk;
}

bool AudioListenerRelease(AudioBufferSet& set, PlatformListener listener) {
    return set.listeners.erase(Key(listener)) > 0;
}
