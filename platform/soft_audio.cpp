// The software sound device (soft_audio.h): buffers, voices, levels and conversion over our
// own mixer, fed to whatever device the backend's hooks open.
//
// The mixer reads 16-bit samples at the device's rate. A buffer in that format (the game's whole
// pack, stored at 48000 Hz) is read where it was loaded; any other is converted once, at unlock
// (platform/resample.cpp). Playing never converts, copies or allocates. The game thread changes
// what the mixer reads only while it holds the device lock, and only briefly.
#include "platform/soft_audio.h"

#include <bit>
#include <new>
#include <utility>

#include "platform/audio_buffers.h"
#include "platform/mixer.h"
#include "platform/resample.h"
#include "platform/sample_memory.h"
#include "platform/trace.h"

namespace {

constexpr int kDefaultPeriod = 512;
constexpr int kMaxPlayingVoices = 512;

struct SoftVoice {
    MixerVoice mix;
    // The samples converted to the mixer's format (sample memory); null while the mixer reads the
    // buffer's own samples, which are already in its format.
    int16_t* converted = nullptr;
};

AudioBufferSet s_set;
const SoftAudioHooks* s_hooks = nullptr;  // the open device; null when none is open
int s_wantedPeriod = kDefaultPeriod;
int s_deviceFrames = kDefaultPeriod;
int s_deviceRate = kMixerRate;

// The voices the mixer visits: every voice that has been played and not yet stopped, released
// or (as the mixer finds) finished. Changed under the device lock only.
MixerVoice* s_playing[kMaxPlayingVoices];
int s_playingCount = 0;

void LockDevice() {
    if (s_hooks) s_hooks->lock();
}

void UnlockDevice() {
    if (s_hooks) s_hooks->unlock();
}

// Events of the timing trace, when TAPDASH_TRACE asks for one.
void TracePlayed(const void* voice, const char* label, int pan, int volume) {
    if (PlatformTraceOn()) PlatformTracePlayed(voice, label, pan, volume);
}
void TraceForget(const void* voice) {
    if (PlatformTraceOn()) PlatformTraceForget(voice);
}
void TraceNote(const char* event, const char* detail = nullptr) {
    if (PlatformTraceOn()) PlatformTrace(event, detail);
}

SoftVoice* VoiceOf(const AudioBuffer* buffer) {
    return static_cast<SoftVoice*>(buffer->voice);
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

// Whether the mixer can read the buffer's own samples: 16-bit at the device's rate, as the game's
// pack is stored. Then loading converts and copies nothing more.
bool InMixerFormat(const PlatformWaveFormat& format) {
    static_assert(std::endian::native == std::endian::little, "samples are little-endian");
    return format.bitsPerSample == 16 &&
           format.samplesPerSec == static_cast<uint32_t>(s_deviceRate);
}

// The buffer's samples converted to the device's rate and to 16-bit, with the buffer's channels,
// in new sample memory; null when there is none.
int16_t* ConvertSamples(const AudioBuffer* buffer, uint32_t* frames) {
    const PlatformWaveFormat& format = buffer->format;
    const uint32_t inFrames = buffer->bytes / format.blockAlign;
    *frames = ConvertedFrames(inFrames, format.samplesPerSec, s_deviceRate);
    int16_t* samples = reinterpret_cast<int16_t*>(
        SampleMemoryAllocate(static_cast<size_t>(*frames) * format.channels * sizeof(int16_t)));
    if (!samples) {
        *frames = 0;
        return nullptr;
    }
    ConvertPcm(buffer->data, inFrames, format.channels, format.bitsPerSample, format.samplesPerSec,
               s_deviceRate, samples);
    return samples;
}

void Destroy(AudioBuffer* buffer) {
    if (!buffer) return;
    SoftVoice* voice = VoiceOf(buffer);
    LockDevice();
    UnlistPlaying(&voice->mix);
    TraceForget(&voice->mix);
    UnlockDevice();
    SampleMemoryFree(reinterpret_cast<uint8_t*>(voice->converted));
    delete voice;
    AudioBufferDestroy(buffer);
}

// The manual device: nothing runs by itself, so there is nothing to lock.
int ManualOpen(SoftAudioRender, int, int, int* rate, int* period) {
    *rate = kMixerRate;
    *period = kDefaultPeriod;
    return kAudioOk;
}
void ManualNothing() {}

}  // namespace

const SoftAudioHooks kSoftAudioManualDevice = {
    .open = ManualOpen,
    .close = ManualNothing,
    .lock = ManualNothing,
    .unlock = ManualNothing,
};

int SoftAudioSetPeriod(int frames) {
    if (frames < 64 || frames > 8192 || (frames & (frames - 1)) != 0) return 0;
    s_wantedPeriod = frames;
    return 1;
}

int SoftAudioWantedPeriod() {
    return s_wantedPeriod;
}

int SoftAudioOpen(const SoftAudioHooks* hooks) {
    if (s_hooks) return kAudioOk;
    if (!hooks) return kAudioErrInvalidParam;
    int rate = 0, period = 0;
    const int result = hooks->open(RenderPlaying, kMixerRate, s_wantedPeriod, &rate, &period);
    if (result < 0) return result;
    s_deviceRate = rate > 0 ? rate : kMixerRate;
    s_deviceFrames = period > 0 ? period : s_wantedPeriod;
    s_hooks = hooks;
    TraceNote("audio-open");
    return kAudioOk;
}

// The buffers still alive end with the device.
void SoftAudioClose() {
    for (AudioBuffer* buffer : AudioBufferTakeAll(s_set)) Destroy(buffer);
    if (s_hooks) s_hooks->close();
    s_hooks = nullptr;
    s_playingCount = 0;
}

bool SoftAudioIsOpen() {
    return s_hooks != nullptr;
}

int SoftAudioDeviceFrames() {
    return s_deviceFrames;
}

int SoftAudioDeviceRate() {
    return s_deviceRate;
}

void SoftAudioRenderNow(int16_t* out, int frames) {
    LockDevice();
    RenderPlaying(out, frames);
    UnlockDevice();
}

int SoftAudioCreateBuffer(const PlatformWaveFormat* format, uint32_t bytes, int flags,
                          Audio3DAlgorithm algorithm, PlatformBuffer* out) {
    if (out) *out = nullptr;
    if (!s_hooks) return kAudioErrNoDevice;
    TraceNote("create");
    AudioBuffer* buffer = nullptr;
    const int result = AudioBufferCreate(s_set, format, bytes, flags, algorithm, &buffer);
    if (!buffer) return result;
    SoftVoice* voice = new SoftVoice;
    voice->mix.channels = format->channels;
    voice->mix.mixDown = AudioBufferIs3D(buffer);
    buffer->voice = voice;
    ApplyLevels(buffer);
    if (out) *out = buffer->handle;
    return result;
}

int SoftAudioBufferLock(PlatformBuffer handle, uint32_t offset, uint32_t bytes, void** region1,
                        uint32_t* bytes1, void** region2, uint32_t* bytes2) {
    return AudioBufferLock(AudioBufferFind(s_set, handle), offset, bytes, region1, bytes1, region2,
                           bytes2);
}

int SoftAudioBufferUnlock(PlatformBuffer handle, void* region1, uint32_t bytes1, void* region2,
                          uint32_t bytes2) {
    AudioBuffer* buffer = AudioBufferFind(s_set, handle);
    const int result = AudioBufferUnlock(buffer, region1, bytes1, region2, bytes2);
    if (result < 0) return result;
    SoftVoice* voice = VoiceOf(buffer);
    uint32_t frames = buffer->bytes / buffer->format.blockAlign;
    int16_t* converted = nullptr;
    const int16_t* samples = reinterpret_cast<const int16_t*>(buffer->data);
    if (!InMixerFormat(buffer->format)) {
        converted = ConvertSamples(buffer, &frames);
        samples = converted;
    }
    LockDevice();
    std::swap(voice->converted, converted);
    voice->mix.samples = samples;
    voice->mix.frames = frames;
    if (voice->mix.position >= voice->mix.frames) voice->mix.position = 0;
    UnlockDevice();
    SampleMemoryFree(reinterpret_cast<uint8_t*>(converted));  // the samples of an earlier unlock
    TraceNote("loaded", buffer->label.c_str());
    return samples ? kAudioOk : kAudioErrOutOfMemory;
}

void SoftAudioBufferSetLabel(PlatformBuffer handle, const char* label) {
    AudioBuffer* buffer = AudioBufferFind(s_set, handle);
    if (buffer) buffer->label = label ? label : "";
}

int SoftAudioBufferSetPosition(PlatformBuffer handle, uint32_t bytePosition) {
    AudioBuffer* buffer = AudioBufferFind(s_set, handle);
    const int result = AudioBufferCheckPosition(buffer, bytePosition);
    if (result < 0) return result;
    const uint64_t sourceFrame = bytePosition / buffer->format.blockAlign;
    const uint64_t frame = sourceFrame * s_deviceRate / buffer->format.samplesPerSec;
    MixerVoice& mix = VoiceOf(buffer)->mix;
    LockDevice();
    mix.position = frame < mix.frames ? static_cast<uint32_t>(frame) : 0;
    UnlockDevice();
    return kAudioOk;
}

int SoftAudioBufferSetPan(PlatformBuffer handle, int pan) {
    AudioBuffer* buffer = AudioBufferFind(s_set, handle);
    const int result = AudioBufferSetPan(buffer, pan);
    if (result == kAudioOk) ApplyLevels(buffer);
    return result;
}

int SoftAudioBufferSetVolume(PlatformBuffer handle, int volume) {
    AudioBuffer* buffer = AudioBufferFind(s_set, handle);
    const int result = AudioBufferSetVolume(buffer, volume);
    if (result == kAudioOk) ApplyLevels(buffer);
    return result;
}

int SoftAudioBufferPlay(PlatformBuffer handle, int flags) {
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
        TracePlayed(&mix, buffer->label.c_str(), buffer->pan, buffer->volume);
    }
    UnlockDevice();
    return listed ? kAudioOk : kAudioErrOutOfMemory;
}

int SoftAudioBufferStop(PlatformBuffer handle) {
    AudioBuffer* buffer = AudioBufferFind(s_set, handle);
    if (!buffer) return kAudioErrInvalidParam;
    MixerVoice& mix = VoiceOf(buffer)->mix;
    LockDevice();
    mix.playing = false;
    UnlistPlaying(&mix);
    TraceForget(&mix);
    UnlockDevice();
    return kAudioOk;
}

int SoftAudioBufferGetStatus(PlatformBuffer handle, uint32_t* status) {
    if (status) *status = 0;
    AudioBuffer* buffer = AudioBufferFind(s_set, handle);
    if (!buffer || !status) return kAudioErrInvalidParam;
    const MixerVoice& mix = VoiceOf(buffer)->mix;
    LockDevice();
    if (mix.playing) *status = mix.looping ? kStatusPlaying | kStatusLooping : kStatusPlaying;
    UnlockDevice();
    return kAudioOk;
}

void SoftAudioBufferRelease(PlatformBuffer handle) {
    AudioBuffer* buffer = AudioBufferFind(s_set, handle);
    if (!buffer) return;
    SoftAudioBufferStop(handle);
    Destroy(AudioBufferRelease(s_set, buffer));
}

int SoftAudioBufferGet3D(PlatformBuffer handle, PlatformBuffer3D* out) {
    return AudioBufferGet3D(s_set, AudioBufferFind(s_set, handle), out);
}

int SoftAudioBuffer3DSetMinDistance(PlatformBuffer3D handle, float distance) {
    AudioBuffer* buffer = AudioBuffer3DFind(s_set, handle);
    const int result = AudioBufferSetMinDistance(buffer, distance);
    if (result == kAudioOk) ApplyLevels(buffer);
    return result;
}

int SoftAudioBuffer3DSetPosition(PlatformBuffer3D handle, float x, float y, float z) {
    AudioBuffer* buffer = AudioBuffer3DFind(s_set, handle);
    const int result = AudioBufferSetPosition3D(buffer, x, y, z);
    if (result == kAudioOk) ApplyLevels(buffer);
    return result;
}

void SoftAudioBuffer3DRelease(PlatformBuffer3D handle) {
    Destroy(AudioBuffer3DRelease(s_set, handle));
}

int SoftAudioCreateListener(PlatformListener* out) {
    if (out) *out = nullptr;
    if (!s_hooks) return kAudioErrNoDevice;
    return AudioListenerCreate(s_set, out);
}

void SoftAudioListenerRelease(PlatformListener listener) {
    AudioListenerRelease(s_set, listener);
}
