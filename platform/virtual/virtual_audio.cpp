// The virtual sound device: buffers with the real device's rules, timed by the virtual clock.
// Every call is recorded under the op names of virtual_audio.h; status, lock and unlock are not.
#include "platform/virtual/virtual_audio.h"

#include "platform/audio_buffers.h"
#include "platform/virtual/virtual.h"

namespace {

// Where a buffer's play position stands: while playing it moves with the clock from
// `position` at `startMs`; while stopped it stays at `position`.
struct VirtualVoice {
    bool playing = false;
    bool looping = false;
    uint64_t startMs = 0;
    uint32_t position = 0;
};

AudioBufferSet s_set;
// Whether a device is open. A fresh start counts as open, so that tests of single sounds need
// not open one; a failed open or a close leaves none.
bool s_deviceOpen = true;
bool s_noDevice = false;  // the machine has no sound device at all

VirtualVoice* VoiceOf(const AudioBuffer* buffer) {
    return static_cast<VirtualVoice*>(buffer->voice);
}

uint64_t BytesPlayedSinceStart(const AudioBuffer* buffer) {
    return (VirtualNowMs() - VoiceOf(buffer)->startMs) * buffer->format.avgBytesPerSec / 1000;
}

// A sound played once stops when the clock reaches its end; the position is then back at 0.
void Settle(const AudioBuffer* buffer) {
    VirtualVoice* voice = VoiceOf(buffer);
    if (!voice->playing || voice->looping) return;
    const uint64_t elapsedMs = VirtualNowMs() - voice->startMs;
    const uint64_t remainingBytes = buffer->bytes - voice->position;
    if (elapsedMs * buffer->format.avgBytesPerSec >= remainingBytes * 1000) {
        voice->playing = false;
        voice->position = 0;
    }
}

// Freezes the moving position into `position`, as at a stop.
void HoldPosition(const AudioBuffer* buffer) {
    VirtualVoice* voice = VoiceOf(buffer);
    Settle(buffer);
    if (!voice->playing) return;
    voice->position =
        static_cast<uint32_t>((voice->position + BytesPlayedSinceStart(buffer)) % buffer->bytes);
    voice->startMs = VirtualNowMs();
}

uint32_t StatusOf(const AudioBuffer* buffer) {
    Settle(buffer);
    const VirtualVoice* voice = VoiceOf(buffer);
    if (!voice->playing) return 0;
    return voice->looping ? kStatusPlaying | kStatusLooping : kStatusPlaying;
}

VirtualCall Call(const char* op, const AudioBuffer* buffer = nullptr) {
    VirtualCall call{};
    call.timeMs = VirtualNowMs();
    call.op = op;
    if (buffer) call.label = buffer->label;
    return call;
}

void Record(const char* op, const AudioBuffer* buffer, int a = 0, int b = 0) {
    VirtualCall call = Call(op, buffer);
    call.a = a;
    call.b = b;
    VirtualRecord(call);
}

void Destroy(AudioBuffer* buffer) {
    if (!buffer) return;
    delete VoiceOf(buffer);
    AudioBufferDestroy(buffer);
}

void DropAll() {
    for (AudioBuffer* buffer : AudioBufferTakeAll(s_set)) Destroy(buffer);
}

}  // namespace

int VirtualAudioOpen() {
    const bool fails = VirtualShouldFail("AudioOpen") || s_noDevice;
    const int result = fails ? kAudioErrNoDevice : kAudioOk;
    s_deviceOpen = !fails;
    if (fails) PlatformSetLastError("no sound device on the virtual platform");
    Record("AudioOpen", nullptr, result);
    return result;
}

// The buffers still alive end with the device.
void VirtualAudioClose() {
    Record("AudioClose", nullptr);
    DropAll();
    s_deviceOpen = false;
}

void VirtualAudioReset() {
    DropAll();
    s_deviceOpen = true;
    s_noDevice = false;
}

void VirtualSetNoDevice(bool none) {
    s_noDevice = none;
    if (none) s_deviceOpen = false;
}

int VirtualCreateBuffer(const PlatformWaveFormat* format, uint32_t bytes, int flags,
                        Audio3DAlgorithm algorithm, PlatformBuffer* out) {
    if (out) *out = nullptr;
    AudioBuffer* buffer = nullptr;
    int result = kAudioErrOutOfMemory;
    if (!s_deviceOpen) {
        result = kAudioErrNoDevice;
    } else if (!VirtualShouldFail("CreateBuffer")) {
        result = AudioBufferCreate(s_set, format, bytes, flags, algorithm, &buffer);
    }
    if (buffer) {
        buffer->voice = new VirtualVoice;
        if (out) *out = buffer->handle;
    }
    Record("CreateBuffer", nullptr, result, flags);
    return result;
}

int VirtualBufferLock(PlatformBuffer handle, uint32_t offset, uint32_t bytes, void** region1,
                      uint32_t* bytes1, void** region2, uint32_t* bytes2) {
    if (VirtualShouldFail("Lock")) {
        if (region1) *region1 = nullptr;
        if (bytes1) *bytes1 = 0;
        return kAudioErrGeneric;
    }
    return AudioBufferLock(AudioBufferFind(s_set, handle), offset, bytes, region1, bytes1, region2,
                           bytes2);
}

int VirtualBufferUnlock(PlatformBuffer handle, void* region1, uint32_t bytes1, void* region2,
                        uint32_t bytes2) {
    return AudioBufferUnlock(AudioBufferFind(s_set, handle), region1, bytes1, region2, bytes2);
}

void VirtualBufferSetLabel(PlatformBuffer handle, const char* label) {
    AudioBuffer* buffer = AudioBufferFind(s_set, handle);
    if (buffer) buffer->label = label ? label : "";
    Record("Label", buffer);
}

int VirtualBufferSetPosition(PlatformBuffer handle, uint32_t bytePosition) {
    AudioBuffer* buffer = AudioBufferFind(s_set, handle);
    int result = AudioBufferCheckPosition(buffer, bytePosition);
    if (result == kAudioOk) {
        VirtualVoice* voice = VoiceOf(buffer);
        Settle(buffer);
        voice->position = bytePosition;
        voice->startMs = VirtualNowMs();
    }
    Record("SetPosition", buffer, static_cast<int>(bytePosition), result);
    return result;
}

int VirtualBufferSetPan(PlatformBuffer handle, int pan) {
    AudioBuffer* buffer = AudioBufferFind(s_set, handle);
    const int result = AudioBufferSetPan(buffer, pan);
    Record("SetPan", buffer, pan, result);
    return result;
}

int VirtualBufferSetVolume(PlatformBuffer handle, int volume) {
    AudioBuffer* buffer = AudioBufferFind(s_set, handle);
    const int result = AudioBufferSetVolume(buffer, volume);
    Record("SetVolume", buffer, volume, result);
    return result;
}

int VirtualBufferPlay(PlatformBuffer handle, int flags) {
    AudioBuffer* buffer = AudioBufferFind(s_set, handle);
    VirtualCall call = Call("Play", buffer);
    call.x = static_cast<float>(flags);
    if (!buffer) {
        VirtualRecord(call);
        return kAudioErrInvalidParam;
    }
    call.a = AudioBufferPanInForce(buffer);
    call.b = buffer->volume;
    VirtualRecord(call);
    // A buffer has one voice: playing it again goes on from where it is.
    HoldPosition(buffer);
    VirtualVoice* voice = VoiceOf(buffer);
    voice->playing = true;
    voice->looping = (flags & kPlayLooping) != 0;
    voice->startMs = VirtualNowMs();
    return kAudioOk;
}

int VirtualBufferStop(PlatformBuffer handle) {
    AudioBuffer* buffer = AudioBufferFind(s_set, handle);
    Record("Stop", buffer);
    if (!buffer) return kAudioErrInvalidParam;
    HoldPosition(buffer);
    VoiceOf(buffer)->playing = false;
    return kAudioOk;
}

int VirtualBufferGetStatus(PlatformBuffer handle, uint32_t* status) {
    if (status) *status = 0;
    AudioBuffer* buffer = AudioBufferFind(s_set, handle);
    if (!buffer || !status) return kAudioErrInvalidParam;
    *status = StatusOf(buffer);
    return kAudioOk;
}

void VirtualBufferRelease(PlatformBuffer handle) {
    AudioBuffer* buffer = AudioBufferFind(s_set, handle);
    Record("Release", buffer);
    if (!buffer) return;
    VoiceOf(buffer)->playing = false;
    Destroy(AudioBufferRelease(s_set, buffer));
}

int VirtualBufferGet3D(PlatformBuffer handle, PlatformBuffer3D* out) {
    if (out) *out = nullptr;
    AudioBuffer* buffer = AudioBufferFind(s_set, handle);
    int result = kAudioErrGeneric;
    if (!VirtualShouldFail("Get3D")) result = AudioBufferGet3D(s_set, buffer, out);
    Record("Get3D", buffer, result);
    return result;
}

int VirtualBuffer3DSetMinDistance(PlatformBuffer3D handle, float distance) {
    AudioBuffer* buffer = AudioBuffer3DFind(s_set, handle);
    const int result = AudioBufferSetMinDistance(buffer, distance);
    VirtualCall call = Call("SetMinDistance", buffer);
    call.x = distance;
    call.b = result;
    VirtualRecord(call);
    return result;
}

int VirtualBuffer3DSetPosition(PlatformBuffer3D handle, float x, float y, float z) {
    AudioBuffer* buffer = AudioBuffer3DFind(s_set, handle);
    const int result = AudioBufferSetPosition3D(buffer, x, y, z);
    VirtualCall call = Call("SetPosition3D", buffer);
    call.x = x;
    call.y = y;
    call.z = z;
    call.b = result;
    VirtualRecord(call);
    return result;
}

void VirtualBuffer3DRelease(PlatformBuffer3D handle) {
    Record("Release3D", AudioBuffer3DFind(s_set, handle));
    Destroy(AudioBuffer3DRelease(s_set, handle));
}

int VirtualCreateListener(PlatformListener* out) {
    if (out) *out = nullptr;
    int result = kAudioErrGeneric;
    if (!s_deviceOpen) {
        result = kAudioErrNoDevice;
    } else if (!VirtualShouldFail("CreateListener")) {
        result = AudioListenerCreate(s_set, out);
    }
    Record("CreateListener", nullptr, result);
    return result;
}

void VirtualListenerRelease(PlatformListener listener) {
    Record("ReleaseListener", nullptr,
           AudioListenerRelease(s_set, listener) ? kAudioOk : kAudioErrInvalidParam);
}

VirtualBufferState VirtualBuffer(const std::string& label) {
    VirtualBufferState state;
    for (auto& entry : s_set.buffers) {
        const AudioBuffer* buffer = entry.second;
        if (buffer->released || buffer->label != label) continue;
        state.exists = true;
        state.status = StatusOf(buffer);
        state.pan = AudioBufferPanInForce(buffer);
        state.volume = buffer->volume;
        state.is3D = AudioBufferIs3D(buffer);
        state.x = buffer->x;
        state.y = buffer->y;
        state.z = buffer->z;
        state.minDistance = buffer->minDistance;
        break;
    }
    return state;
}

int VirtualLiveBuffers() {
    int live = 0;
    for (auto& entry : s_set.buffers) live += entry.second->released ? 0 : 1;
    return live;
}

int VirtualLiveListeners() {
    return static_cast<int>(s_set.listeners.size());
}
