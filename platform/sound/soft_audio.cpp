// The sound operations of platform.h, the same under every backend (soft_audio.h): buffers,
// voices, levels and conversion over our own mixer, fed to whatever device the selected backend's
// hooks open (SDL's, WASAPI's, the virtual clock's).
//
// The mixer reads 16-bit samples at the device's rate. A buffer in that format (the game's whole
// pack, stored at 48000 Hz) is read where it was loaded; any other is converted once, at unlock
// (platform/sound/resample.cpp). Playing never converts, copies or allocates. The game thread
// changes what the mixer reads only while it holds the device lock, and only briefly.
#include "platform/sound/soft_audio.h"

#include <bit>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

#include "platform/core/trace.h"
#include "platform/driver.h"
#include "platform/sound/audio_buffers.h"
#include "platform/sound/mixer.h"
#include "platform/sound/resample.h"
#include "platform/sound/sample_memory.h"

namespace {

constexpr int kDefaultPeriod = kSoftAudioDefaultPeriod;
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

// The watcher of the selected backend, if it has one (the virtual backend's record).
const SoftAudioWatcher* Watcher() {
    const PlatformDriver* driver = PlatformCurrentDriver();
    return driver ? driver->soundWatcher : nullptr;
}
void Tell(const char* op, const AudioBuffer* buffer, int a = 0, int b = 0, float x = 0, float y = 0,
          float z = 0) {
    const SoftAudioWatcher* watcher = Watcher();
    if (!watcher) return;
    watcher->called({op, buffer ? buffer->label.c_str() : "", a, b, x, y, z});
}
bool Refused(const char* op) {
    const SoftAudioWatcher* watcher = Watcher();
    return watcher && watcher->refuses(op);
}

SoftVoice* VoiceOf(const AudioBuffer* buffer) {
    return static_cast<SoftVoice*>(buffer->voice);
}

// Under the device lock.
void RenderPlaying(int16_t* out, int frames) {
    if (s_playingCount == 0) {
        std::memset(out, 0, static_cast<size_t>(frames) * kMixerOutputChannels * sizeof(int16_t));
        return;
    }
    MixerRender(s_playing, s_playingCount, out, frames);
    for (int i = 0; i < s_playingCount;) {
        if (s_playing[i]->playing) {
            ++i;
        } else {
            s_playing[i] = s_playing[--s_playingCount];
        }
    }
}

// What a device's thread calls for each period: the mix, and with the timing trace on, when the
// period that holds a voice's first samples was filled.
void RenderForDevice(int16_t* out, int frames) {
    const uint64_t start = PlatformTraceOn() ? PlatformTraceNow() : 0;
    RenderPlaying(out, frames);
    if (start) PlatformTraceHeard(start);
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
struct Levels {
    float gainLeft, gainRight, lowPass;
};
Levels LevelsOf(const AudioBuffer* buffer) {
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
    return {volumeGain * left, volumeGain * right, lowPass};
}

// Under the device lock.
void StoreLevels(MixerVoice& mix, const Levels& levels) {
    mix.gainLeft = levels.gainLeft;
    mix.gainRight = levels.gainRight;
    mix.lowPass = levels.lowPass;
}

void ApplyLevels(const AudioBuffer* buffer) {
    const Levels levels = LevelsOf(buffer);
    LockDevice();
    StoreLevels(VoiceOf(buffer)->mix, levels);
    UnlockDevice();
}

// The mixer's frame for a byte position of the buffer. Under the device lock (the frames).
uint32_t FrameAt(const AudioBuffer* buffer, const MixerVoice& mix, uint32_t bytePosition) {
    const uint64_t sourceFrame = bytePosition / buffer->format.blockAlign;
    const uint64_t frame = sourceFrame * s_deviceRate / buffer->format.samplesPerSec;
    return frame < mix.frames ? static_cast<uint32_t>(frame) : 0;
}

// Starts the voice, or goes on from where it is when it already plays (a buffer has one voice).
// Under the device lock.
int PlayVoice(AudioBuffer* buffer, int flags) {
    MixerVoice& mix = VoiceOf(buffer)->mix;
    if (mix.frames == 0) return kAudioOk;  // nothing to hear: it has already ended
    if (!mix.playing) mix.lowPassState = 0.0f;
    if (!ListPlaying(&mix)) return kAudioErrOutOfMemory;
    mix.playing = true;
    mix.looping = (flags & kPlayLooping) != 0;
    TracePlayed(&mix, buffer->label.c_str(), buffer->pan, buffer->volume);
    return kAudioOk;
}

// Under the device lock.
void StopVoice(MixerVoice& mix) {
    mix.playing = false;
    UnlistPlaying(&mix);
    TraceForget(&mix);
}

void TellPlay(const AudioBuffer* buffer, int flags) {
    if (buffer) {
        Tell("Play", buffer, AudioBufferPanInForce(buffer), buffer->volume,
             static_cast<float>(flags));
    } else {
        Tell("Play", nullptr, 0, 0, static_cast<float>(flags));
    }
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
    if (s_hooks == hooks && hooks) return kAudioOk;
    if (!hooks) return kAudioErrInvalidParam;
    SoftAudioClose();  // another backend's device (a test that changed backends)
    int rate = 0, period = 0;
    const int result = hooks->open(RenderForDevice, kMixerRate, s_wantedPeriod, &rate, &period);
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

const AudioBufferSet& SoftAudioBuffers() {
    return s_set;
}

// ---------------------------------------------------------------------------------------------
// The sound operations of platform.h, over the selected backend's device.

namespace {

// The device period a player asked for in TAPDASH_AUDIO_PERIOD (frames, a power of two from 64
// to 8192); the default otherwise. A device that sets its own period (WASAPI's smallest) keeps it.
void TakePeriodSetting() {
    const char* setting = std::getenv("TAPDASH_AUDIO_PERIOD");
    if (!setting || !*setting) return;
    char* end = nullptr;
    const long frames = std::strtol(setting, &end, 10);
    if (*end != '\0' || frames > 8192 || !SoftAudioSetPeriod(static_cast<int>(frames))) {
        std::fprintf(stderr,
                     "tapdash: TAPDASH_AUDIO_PERIOD=%s ignored (a power of two from 64 to 8192)\n",
                     setting);
    }
}

}  // namespace

int PlatformAudioOpen() {
    PlatformClearLastError();
    int result = kAudioErrNoDevice;
    if (Refused("AudioOpen")) {
        SoftAudioClose();
    } else {
        TakePeriodSetting();
        result = SoftAudioOpen(&PlatformCurrentDriver()->audio);
    }
    Tell("AudioOpen", nullptr, result);
    return result;
}

void PlatformAudioClose() {
    Tell("AudioClose", nullptr);
    SoftAudioClose();
}

int PlatformCreateBuffer(const PlatformWaveFormat* format, uint32_t bytes, int flags,
                         Audio3DAlgorithm algorithm, PlatformBuffer* out) {
    if (out) *out = nullptr;
    AudioBuffer* buffer = nullptr;
    int result = kAudioErrNoDevice;
    if (s_hooks) {
        TraceNote("create");
        result = Refused("CreateBuffer")
                     ? kAudioErrOutOfMemory
                     : AudioBufferCreate(s_set, format, bytes, flags, algorithm, &buffer);
    }
    if (buffer) {
        SoftVoice* voice = new SoftVoice;
        voice->mix.channels = format->channels;
        voice->mix.mixDown = AudioBufferIs3D(buffer);
        buffer->voice = voice;
        ApplyLevels(buffer);
        if (out) *out = buffer->handle;
    }
    Tell("CreateBuffer", nullptr, result, flags);
    return result;
}

int PlatformBufferLock(PlatformBuffer handle, uint32_t offset, uint32_t bytes, void** region1,
                       uint32_t* bytes1, void** region2, uint32_t* bytes2) {
    if (Refused("Lock")) {
        if (region1) *region1 = nullptr;
        if (bytes1) *bytes1 = 0;
        return kAudioErrGeneric;
    }
    return AudioBufferLock(AudioBufferFind(s_set, handle), offset, bytes, region1, bytes1, region2,
                           bytes2);
}

int PlatformBufferUnlock(PlatformBuffer handle, void* region1, uint32_t bytes1, void* region2,
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

void PlatformBufferSetLabel(PlatformBuffer handle, const char* label) {
    AudioBuffer* buffer = AudioBufferFind(s_set, handle);
    if (buffer) buffer->label = label ? label : "";
    Tell("Label", buffer);
}

int PlatformBufferSetPosition(PlatformBuffer handle, uint32_t bytePosition) {
    AudioBuffer* buffer = AudioBufferFind(s_set, handle);
    const int result = AudioBufferCheckPosition(buffer, bytePosition);
    if (result == kAudioOk) {
        MixerVoice& mix = VoiceOf(buffer)->mix;
        LockDevice();
        mix.position = FrameAt(buffer, mix, bytePosition);
        UnlockDevice();
    }
    Tell("SetPosition", buffer, static_cast<int>(bytePosition), result);
    return result;
}

int PlatformBufferSetPan(PlatformBuffer handle, int pan) {
    AudioBuffer* buffer = AudioBufferFind(s_set, handle);
    const int result = AudioBufferSetPan(buffer, pan);
    if (result == kAudioOk) ApplyLevels(buffer);
    Tell("SetPan", buffer, pan, result);
    return result;
}

int PlatformBufferSetVolume(PlatformBuffer handle, int volume) {
    AudioBuffer* buffer = AudioBufferFind(s_set, handle);
    const int result = AudioBufferSetVolume(buffer, volume);
    if (result == kAudioOk) ApplyLevels(buffer);
    Tell("SetVolume", buffer, volume, result);
    return result;
}

int PlatformBufferPlay(PlatformBuffer handle, int flags) {
    AudioBuffer* buffer = AudioBufferFind(s_set, handle);
    TellPlay(buffer, flags);
    if (!buffer) return kAudioErrInvalidParam;
    LockDevice();
    const int result = PlayVoice(buffer, flags);
    UnlockDevice();
    return result;
}

// Position, pan, volume and play as the four calls would do them one after another, each refused
// on its own terms, but under one lock of the device.
int PlatformBufferStart(PlatformBuffer handle, uint32_t bytePosition, int pan, int volume,
                        int flags) {
    AudioBuffer* buffer = AudioBufferFind(s_set, handle);
    const int positioned = AudioBufferCheckPosition(buffer, bytePosition);
    Tell("SetPosition", buffer, static_cast<int>(bytePosition), positioned);
    Tell("SetPan", buffer, pan, AudioBufferSetPan(buffer, pan));
    Tell("SetVolume", buffer, volume, AudioBufferSetVolume(buffer, volume));
    TellPlay(buffer, flags);
    if (!buffer) return kAudioErrInvalidParam;
    const Levels levels = LevelsOf(buffer);
    MixerVoice& mix = VoiceOf(buffer)->mix;
    LockDevice();
    if (positioned == kAudioOk) mix.position = FrameAt(buffer, mix, bytePosition);
    StoreLevels(mix, levels);
    const int result = PlayVoice(buffer, flags);
    UnlockDevice();
    return result;
}

int PlatformBufferStop(PlatformBuffer handle) {
    AudioBuffer* buffer = AudioBufferFind(s_set, handle);
    Tell("Stop", buffer);
    if (!buffer) return kAudioErrInvalidParam;
    LockDevice();
    StopVoice(VoiceOf(buffer)->mix);
    UnlockDevice();
    return kAudioOk;
}

int PlatformBufferGetStatus(PlatformBuffer handle, uint32_t* status) {
    if (status) *status = 0;
    AudioBuffer* buffer = AudioBufferFind(s_set, handle);
    if (!buffer || !status) return kAudioErrInvalidParam;
    const MixerVoice& mix = VoiceOf(buffer)->mix;
    LockDevice();
    if (mix.playing) *status = mix.looping ? kStatusPlaying | kStatusLooping : kStatusPlaying;
    UnlockDevice();
    return kAudioOk;
}

void PlatformBufferRelease(PlatformBuffer handle) {
    AudioBuffer* buffer = AudioBufferFind(s_set, handle);
    Tell("Release", buffer);
    if (!buffer) return;
    LockDevice();
    StopVoice(VoiceOf(buffer)->mix);
    UnlockDevice();
    Destroy(AudioBufferRelease(s_set, buffer));
}

int PlatformBufferGet3D(PlatformBuffer handle, PlatformBuffer3D* out) {
    if (out) *out = nullptr;
    AudioBuffer* buffer = AudioBufferFind(s_set, handle);
    const int result = Refused("Get3D") ? kAudioErrGeneric : AudioBufferGet3D(s_set, buffer, out);
    Tell("Get3D", buffer, result);
    return result;
}

int PlatformBuffer3DSetMinDistance(PlatformBuffer3D handle, float distance) {
    AudioBuffer* buffer = AudioBuffer3DFind(s_set, handle);
    const int result = AudioBufferSetMinDistance(buffer, distance);
    if (result == kAudioOk) ApplyLevels(buffer);
    Tell("SetMinDistance", buffer, 0, result, distance);
    return result;
}

int PlatformBuffer3DSetPosition(PlatformBuffer3D handle, float x, float y, float z) {
    AudioBuffer* buffer = AudioBuffer3DFind(s_set, handle);
    const int result = AudioBufferSetPosition3D(buffer, x, y, z);
    if (result == kAudioOk) ApplyLevels(buffer);
    Tell("SetPosition3D", buffer, 0, result, x, y, z);
    return result;
}

void PlatformBuffer3DRelease(PlatformBuffer3D handle) {
    Tell("Release3D", AudioBuffer3DFind(s_set, handle));
    Destroy(AudioBuffer3DRelease(s_set, handle));
}

int PlatformCreateListener(PlatformListener* out) {
    if (out) *out = nullptr;
    int result = kAudioErrNoDevice;
    if (s_hooks)
        result = Refused("CreateListener") ? kAudioErrGeneric : AudioListenerCreate(s_set, out);
    Tell("CreateListener", nullptr, result);
    return result;
}

void PlatformListenerRelease(PlatformListener listener) {
    const bool released = AudioListenerRelease(s_set, listener);
    Tell("ReleaseListener", nullptr, released ? kAudioOk : kAudioErrInvalidParam);
}
