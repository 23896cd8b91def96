// The Windows sound device: WASAPI (platform/win32/win32_wasapi.cpp) fed by our own mixer on its
// render thread. A buffer's samples are converted once, at unlock, to the mixer's format (16-bit
// at 48000 Hz); playing never converts, copies or allocates. The game thread changes what the
// mixer reads only while it holds the device lock, and only briefly.
#include "platform/win32/win32_audio.h"

#include <memory>
#include <new>
#include <utility>

#include "platform/audio_buffers.h"
#include "platform/mixer.h"
#include "platform/resample.h"
#include "platform/win32/win32_trace.h"
#include "platform/win32/win32_wasapi.h"

namespace {

constexpr int kDeviceFrames = 512;
constexpr int kMaxPlayingVoices = 512;

struct Win32Voice {
    MixerVoice mix;
    std::unique_ptr<int16_t[]> samples;
};

AudioBufferSet s_set;
bool s_device = false;
int s_deviceFrames = kDeviceFrames;

// The voices the mixer visits: every voice that has been played and not yet stopped, released
// or (as the mixer finds) finished. Changed under the device lock only.
MixerVoice* s_playing[kMaxPlayingVoices];
int s_playingCount = 0;

void LockDevice() {
    if (s_device) WasapiLock();
}

void UnlockDevice() {
    if (s_device) WasapiUnlock();
}

Win32Voice* VoiceOf(const AudioBuffer* buffer) {
    return static_cast<Win32Voice*>(buffer->voice);
}

// Under the device lock.
void RenderPlaying(int16_t* out, int frames) {
    MixerRender(s_playing, s_playingCount, out, frames);
    for (int i = 0; i < s_playingCount;) {
        if (s_playing[i]->playing) {
            ++i;
        } else {
            s_playing[i] = s_playing[--s_playingCount];
        }
    }
}

void AudioCallback(int16_t* out, int frames) {
    const uint64_t start = Win32TraceOn() ? Win32TraceNow() : 0;
    RenderPlaying(out, frames);
    if (start) Win32TraceHeard(start);
}

// Under the device lock.
bool ListPlaying(MixerVoice* voice) {
    for (int i = 0; i < s_playingCount; ++i) {
        if (s_playing[i] == voice) return true;
    }
    if (s_playingCount == kMaxPlayingVoices) return false;
    s_playing[s_playingCount++] = voice;
    return true;
}

// Under the device lock.
void UnlistPlaying(MixerVoice* voice) {
    for (int i = 0; i < s_playingCount; ++i) {
        if (s_playing[i] == voice) {
            s_playing[i] = s_playing[--s_playingCount];
            return;
        }
    }
}

// The gains and filter the mixer applies, from the buffer's volume and pan or 3D position.
void ApplyLevels(const AudioBuffer* buffer) {
    const float volumeGain = MixerVolumeGain(buffer->volume);
    float left = 1.0f, right = 1.0f, lowPass = 1.0f;
    if (AudioBufferIs3D(buffer)) {
        const MixerPlacement placement =
            MixerPlace3D(buffer->x, buffer->y, buffer->z, buffer->minDistance);
        left = placement.gainLeft;
        right = placement.gainRight;
        lowPass = placement.lowPass;
    } else {
        MixerPanGains(AudioBufferPanInForce(buffer), &left, &right);
    }
    MixerVoice& mix = VoiceOf(buffer)->mix;
    LockDevice();
    mix.gainLeft = volumeGain * left;
    mix.gainRight = volumeGain * right;
    mix.lowPass = lowPass;
    UnlockDevice();
}

// The buffer's samples at the mixer's rate, with the buffer's channels; null when there is no
// memory for them. Left uninitialised before the conversion fills it: zero-filling first cost as
// much as the conversion itself.
std::unique_ptr<int16_t[]> ConvertSamples(const AudioBuffer* buffer, uint32_t* frames) {
    const PlatformWaveFormat& format = buffer->format;
    const uint32_t inFrames = buffer->bytes / format.blockAlign;
    *frames = ConvertedFrames(inFrames, format.samplesPerSec, kMixerRate);
    std::unique_ptr<int16_t[]> samples(new (std::nothrow)
                                           int16_t[static_cast<size_t>(*frames) * format.channels]);
    if (!samples) {
        *frames = 0;
        return samples;
    }
    ConvertPcm(buffer->data.data(), inFrames, format.channels, format.bitsPerSample,
               format.samplesPerSec, kMixerRate, samples.get());
    return samples;
}

void Destroy(AudioBuffer* buffer) {
    if (!buffer) return;
    Win32Voice* voice = VoiceOf(buffer);
    LockDevice();
    UnlistPlaying(&voice->mix);
    Win32TraceForget(&voice->mix);
    UnlockDevice();
    delete voice;
    AudioBufferDestroy(buffer);
}

}  // namespace

int Win32AudioOpen() {
    if (s_device) return kAudioOk;
    int period = 0;
    if (WasapiOpen(AudioCallback, kMixerRate, &period) != 0) return kAudioErrNoDevice;
    s_device = true;
    s_deviceFrames = period;
    Win32Trace("audio-open");
    return kAudioOk;
}

// The buffers still alive end with the device.
void Win32AudioClose() {
    if (s_device) {
        WasapiClose();
        s_device = false;
    }
    for (AudioBuffer* buffer : AudioBufferTakeAll(s_set)) Destroy(buffer);
    s_playingCount = 0;
}

int Win32AudioDeviceFrames() {
    return s_deviceFrames;
}

void Win32AudioRender(int16_t* out, int frames) {
    LockDevice();
    RenderPlaying(out, frames);
    UnlockDevice();
}

int Win32CreateBuffer(const PlatformWaveFormat* format, uint32_t bytes, int flags,
                      Audio3DAlgorithm algorithm, PlatformBuffer* out) {
    if (out) *out = nullptr;
    if (Win32TraceOn()) Win32Trace("create");
    AudioBuffer* buffer = nullptr;
    const int result = AudioBufferCreate(s_set, format, bytes, flags, algorithm, &buffer);
    if (!buffer) return result;
    Win32Voice* voice = new Win32Voice;
    voice->mix.channels = format->channels;
    voice->mix.mixDown = AudioBufferIs3D(buffer);
    buffer->voice = voice;
    ApplyLevels(buffer);
    if (out) *out = buffer->handle;
    return result;
}

int Win32BufferLock(PlatformBuffer handle, uint32_t offset, uint32_t bytes, void** region1,
                    uint32_t* bytes1, void** region2, uint32_t* bytes2) {
    return AudioBufferLock(AudioBufferFind(s_set, handle), offset, bytes, region1, bytes1, region2,
                           bytes2);
}

int Win32BufferUnlock(PlatformBuffer handle, void* region1, uint32_t bytes1, void* region2,
                      uint32_t bytes2) {
    AudioBuffer* buffer = AudioBufferFind(s_set, handle);
    const int result = AudioBufferUnlock(buffer, region1, bytes1, region2, bytes2);
    if (result < 0) return result;
    Win32Voice* voice = VoiceOf(buffer);
    uint32_t frames = 0;
    std::unique_ptr<int16_t[]> samples = ConvertSamples(buffer, &frames);
    LockDevice();
    std::swap(voice->samples, samples);
    voice->mix.samples = voice->samples.get();
    voice->mix.frames = frames;
    if (voice->mix.position >= voice->mix.frames) voice->mix.position = 0;
    UnlockDevice();
    if (Win32TraceOn()) Win32Trace("loaded", buffer->label.c_str());
    return voice->samples ? kAudioOk : kAudioErrOutOfMemory;
}

void Win32BufferSetLabel(PlatformBuffer handle, const char* label) {
    AudioBuffer* buffer = AudioBufferFind(s_set, handle);
    if (buffer) buffer->label = label ? label : "";
}

int Win32BufferSetPosition(PlatformBuffer handle, uint32_t bytePosition) {
    AudioBuffer* buffer = AudioBufferFind(s_set, handle);
    const int result = AudioBufferCheckPosition(buffer, bytePosition);
    if (result < 0) return result;
    const uint64_t sourceFrame = bytePosition / buffer->format.blockAlign;
    const uint64_t frame = sourceFrame * kMixerRate / buffer->format.samplesPerSec;
    MixerVoice& mix = VoiceOf(buffer)->mix;
    LockDevice();
    mix.position = frame < mix.frames ? static_cast<uint32_t>(frame) : 0;
    UnlockDevice();
    return kAudioOk;
}

int Win32BufferSetPan(PlatformBuffer handle, int pan) {
    AudioBuffer* buffer = AudioBufferFind(s_set, handle);
    const int result = AudioBufferSetPan(buffer, pan);
    if (result == kAudioOk) ApplyLevels(buffer);
    return result;
}

int Win32BufferSetVolume(PlatformBuffer handle, int volume) {
    AudioBuffer* buffer = AudioBufferFind(s_set, handle);
    const int result = AudioBufferSetVolume(buffer, volume);
    if (result == kAudioOk) ApplyLevels(buffer);
    return result;
}

int Win32BufferPlay(PlatformBuffer handle, int flags) {
    AudioBuffer* buffer = AudioBufferFind(s_set, handle);
    if (!buffer) return kAudioErrInvalidParam;
    MixerVoice& mix = VoiceOf(buffer)->mix;
    if (mix.frames == 0) return kAudioOk;  // nothing to hear: it has already ended
    LockDevice();
    // A buffer has one voice: playing it again goes on from where it is.
    if (!mix.playing) mix.lowPassState = 0.0f;
    const bool listed = ListPlaying(&mix);
    if (listed) {
        mix.playing = true;
        mix.looping = (flags & kPlayLooping) != 0;
        Win32TracePlayed(&mix, buffer->label.c_str(), buffer->pan, buffer->volume);
    }
    UnlockDevice();
    return listed ? kAudioOk : kAudioErrOutOfMemory;
}

int Win32BufferStop(PlatformBuffer handle) {
    AudioBuffer* buffer = AudioBufferFind(s_set, handle);
    if (!buffer) return kAudioErrInvalidParam;
    MixerVoice& mix = VoiceOf(buffer)->mix;
    LockDevice();
    mix.playing = false;
    UnlistPlaying(&mix);
    Win32TraceForget(&mix);
    UnlockDevice();
    return kAudioOk;
}

int Win32BufferGetStatus(PlatformBuffer handle, uint32_t* status) {
    if (status) *status = 0;
    AudioBuffer* buffer = AudioBufferFind(s_set, handle);
    if (!buffer || !status) return kAudioErrInvalidParam;
    const MixerVoice& mix = VoiceOf(buffer)->mix;
    LockDevice();
    if (mix.playing) *status = mix.looping ? kStatusPlaying | kStatusLooping : kStatusPlaying;
    UnlockDevice();
    return kAudioOk;
}

void Win32BufferRelease(PlatformBuffer handle) {
    AudioBuffer* buffer = AudioBufferFind(s_set, handle);
    if (!buffer) return;
    Win32BufferStop(handle);
    Destroy(AudioBufferRelease(s_set, buffer));
}

int Win32BufferGet3D(PlatformBuffer handle, PlatformBuffer3D* out) {
    return AudioBufferGet3D(s_set, AudioBufferFind(s_set, handle), out);
}

int Win32Buffer3DSetMinDistance(PlatformBuffer3D handle, float distance) {
    AudioBuffer* buffer = AudioBuffer3DFind(s_set, handle);
    const int result = AudioBufferSetMinDistance(buffer, distance);
    if (result == kAudioOk) ApplyLevels(buffer);
    return result;
}

int Win32Buffer3DSetPosition(PlatformBuffer3D handle, float x, float y, float z) {
    AudioBuffer* buffer = AudioBuffer3DFind(s_set, handle);
    const int result = AudioBufferSetPosition3D(buffer, x, y, z);
    if (result == kAudioOk) ApplyLevels(buffer);
    return result;
}

void Win32Buffer3DRelease(PlatformBuffer3D handle) {
    Destroy(AudioBuffer3DRelease(s_set, handle));
}

int Win32CreateListener(PlatformListener* out) {
    if (out) *out = nullptr;
    return AudioListenerCreate(s_set, out);
}

void Win32ListenerRelease(PlatformListener listener) {
    AudioListenerRelease(s_set, listener);
}
