// The real sound device: SDL's audio device, fed by our own mixer on SDL's audio thread.
//
// The device is opened as signed 16-bit little-endian samples, 2 channels interleaved (left
// first), 48000 frames a second, 512 frames a device buffer, with no change allowed: SDL itself
// converts to whatever the hardware wants. A capture by SDL's disk audio driver
// (SDL_AUDIODRIVER=disk, SDL_DISKAUDIOFILE=<file>) therefore holds exactly that raw stream.
//
// The mixer reads 16-bit samples at 48000 Hz. A buffer in that format (the game's whole pack) is
// read where it is; any other is converted once, at unlock (platform/resample.cpp). Playing never
// converts, copies or allocates. The game thread changes what the mixer reads only while it holds
// the device lock, and only briefly.
#include "platform/real/real_audio.h"

#include <SDL.h>

#include <bit>
#include <utility>

#include "platform/audio_buffers.h"
#include "platform/mixer.h"
#include "platform/real/real_trace.h"
#include "platform/resample.h"
#include "platform/sample_memory.h"

namespace {

constexpr int kDeviceFrames = 512;
constexpr int kMaxPlayingVoices = 512;

struct RealVoice {
    MixerVoice mix;
    // The samples converted to the mixer's format (sample memory); null while the mixer reads the
    // buffer's own samples, which are already in its format.
    int16_t* converted = nullptr;
};

AudioBufferSet s_set;
SDL_AudioDeviceID s_device = 0;
int s_deviceFrames = kDeviceFrames;

// The voices the mixer visits: every voice that has been played and not yet stopped, released
// or (as the mixer finds) finished. Changed under the device lock only.
MixerVoice* s_playing[kMaxPlayingVoices];
int s_playingCount = 0;

void LockDevice() {
    if (s_device) SDL_LockAudioDevice(s_device);
}

void UnlockDevice() {
    if (s_device) SDL_UnlockAudioDevice(s_device);
}

RealVoice* VoiceOf(const AudioBuffer* buffer) {
    return static_cast<RealVoice*>(buffer->voice);
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

void AudioCallback(void*, Uint8* stream, int length) {
    const uint64_t start = RealTraceOn() ? RealTraceNow() : 0;
    RenderPlaying(reinterpret_cast<int16_t*>(stream),
                  length / static_cast<int>(kMixerOutputChannels * sizeof(int16_t)));
    if (start) RealTraceHeard(start);
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

// Whether the mixer can read the buffer's own samples: 16-bit at its rate, as the game's pack is
// stored. Then loading converts and copies nothing more.
bool InMixerFormat(const PlatformWaveFormat& format) {
    static_assert(std::endian::native == std::endian::little, "samples are little-endian");
    return format.bitsPerSample == 16 && format.samplesPerSec == kMixerRate;
}

// The buffer's samples converted to the mixer's rate and sample type, with the buffer's channels,
// in new sample memory; null when there is none.
int16_t* ConvertSamples(const AudioBuffer* buffer, uint32_t* frames) {
    const PlatformWaveFormat& format = buffer->format;
    const uint32_t inFrames = buffer->bytes / format.blockAlign;
    *frames = ConvertedFrames(inFrames, format.samplesPerSec, kMixerRate);
    int16_t* samples = reinterpret_cast<int16_t*>(
        SampleMemoryAllocate(static_cast<size_t>(*frames) * format.channels * sizeof(int16_t)));
    if (!samples) {
        *frames = 0;
        return nullptr;
    }
    ConvertPcm(buffer->data, inFrames, format.channels, format.bitsPerSample, format.samplesPerSec,
               kMixerRate, samples);
    return samples;
}

void Destroy(AudioBuffer* buffer) {
    if (!buffer) return;
    RealVoice* voice = VoiceOf(buffer);
    LockDevice();
    UnlistPlaying(&voice->mix);
    RealTraceForget(&voice->mix);
    UnlockDevice();
    SampleMemoryFree(reinterpret_cast<uint8_t*>(voice->converted));
    delete voice;
    AudioBufferDestroy(buffer);
}

}  // namespace

int RealAudioOpen() {
    if (s_device) return kAudioOk;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return kAudioErrNoDevice;
    SDL_AudioSpec wanted{};
    wanted.freq = kMixerRate;
    wanted.format = AUDIO_S16LSB;
    wanted.channels = kMixerOutputChannels;
    wanted.samples = kDeviceFrames;
    wanted.callback = AudioCallback;
    SDL_AudioSpec obtained{};
    s_device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (!s_device) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return kAudioErrNoDevice;
    }
    s_deviceFrames = obtained.samples;
    SDL_PauseAudioDevice(s_device, 0);
    RealTrace("audio-open");
    return kAudioOk;
}

// The buffers still alive end with the device.
void RealAudioClose() {
    if (s_device) {
        SDL_CloseAudioDevice(s_device);
        s_device = 0;
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    for (AudioBuffer* buffer : AudioBufferTakeAll(s_set)) Destroy(buffer);
    s_playingCount = 0;
}

int RealAudioDeviceFrames() {
    return s_deviceFrames;
}

void RealAudioRender(int16_t* out, int frames) {
    LockDevice();
    RenderPlaying(out, frames);
    UnlockDevice();
}

int RealCreateBuffer(const PlatformWaveFormat* format, uint32_t bytes, int flags,
                     Audio3DAlgorithm algorithm, PlatformBuffer* out) {
    if (out) *out = nullptr;
    if (RealTraceOn()) RealTrace("create");
    AudioBuffer* buffer = nullptr;
    const int result = AudioBufferCreate(s_set, format, bytes, flags, algorithm, &buffer);
    if (!buffer) return result;
    RealVoice* voice = new RealVoice;
    voice->mix.channels = format->channels;
    voice->mix.mixDown = AudioBufferIs3D(buffer);
    buffer->voice = voice;
    ApplyLevels(buffer);
    if (out) *out = buffer->handle;
    return result;
}

int RealBufferLock(PlatformBuffer handle, uint32_t offset, uint32_t bytes, void** region1,
                   uint32_t* bytes1, void** region2, uint32_t* bytes2) {
    return AudioBufferLock(AudioBufferFind(s_set, handle), offset, bytes, region1, bytes1, region2,
                           bytes2);
}

int RealBufferUnlock(PlatformBuffer handle, void* region1, uint32_t bytes1, void* region2,
                     uint32_t bytes2) {
    AudioBuffer* buffer = AudioBufferFind(s_set, handle);
    const int result = AudioBufferUnlock(buffer, region1, bytes1, region2, bytes2);
    if (result < 0) return result;
    RealVoice* voice = VoiceOf(buffer);
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
    if (RealTraceOn()) RealTrace("loaded", buffer->label.c_str());
    return samples ? kAudioOk : kAudioErrOutOfMemory;
}

void RealBufferSetLabel(PlatformBuffer handle, const char* label) {
    AudioBuffer* buffer = AudioBufferFind(s_set, handle);
    if (buffer) buffer->label = label ? label : "";
}

int RealBufferSetPosition(PlatformBuffer handle, uint32_t bytePosition) {
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

int RealBufferSetPan(PlatformBuffer handle, int pan) {
    AudioBuffer* buffer = AudioBufferFind(s_set, handle);
    const int result = AudioBufferSetPan(buffer, pan);
    if (result == kAudioOk) ApplyLevels(buffer);
    return result;
}

int RealBufferSetVolume(PlatformBuffer handle, int volume) {
    AudioBuffer* buffer = AudioBufferFind(s_set, handle);
    const int result = AudioBufferSetVolume(buffer, volume);
    if (result == kAudioOk) ApplyLevels(buffer);
    return result;
}

int RealBufferPlay(PlatformBuffer handle, int flags) {
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
        RealTracePlayed(&mix, buffer->label.c_str(), buffer->pan, buffer->volume);
    }
    UnlockDevice();
    return listed ? kAudioOk : kAudioErrOutOfMemory;
}

int RealBufferStop(PlatformBuffer handle) {
    AudioBuffer* buffer = AudioBufferFind(s_set, handle);
    if (!buffer) return kAudioErrInvalidParam;
    MixerVoice& mix = VoiceOf(buffer)->mix;
    LockDevice();
    mix.playing = false;
    UnlistPlaying(&mix);
    RealTraceForget(&mix);
    UnlockDevice();
    return kAudioOk;
}

int RealBufferGetStatus(PlatformBuffer handle, uint32_t* status) {
    if (status) *status = 0;
    AudioBuffer* buffer = AudioBufferFind(s_set, handle);
    if (!buffer || !status) return kAudioErrInvalidParam;
    const MixerVoice& mix = VoiceOf(buffer)->mix;
    LockDevice();
    if (mix.playing) *status = mix.looping ? kStatusPlaying | kStatusLooping : kStatusPlaying;
    UnlockDevice();
    return kAudioOk;
}

void RealBufferRelease(PlatformBuffer handle) {
    AudioBuffer* buffer = AudioBufferFind(s_set, handle);
    if (!buffer) return;
    RealBufferStop(handle);
    Destroy(AudioBufferRelease(s_set, buffer));
}

int RealBufferGet3D(PlatformBuffer handle, PlatformBuffer3D* out) {
    return AudioBufferGet3D(s_set, AudioBufferFind(s_set, handle), out);
}

int RealBuffer3DSetMinDistance(PlatformBuffer3D handle, float distance) {
    AudioBuffer* buffer = AudioBuffer3DFind(s_set, handle);
    const int result = AudioBufferSetMinDistance(buffer, distance);
    if (result == kAudioOk) ApplyLevels(buffer);
    return result;
}

int RealBuffer3DSetPosition(PlatformBuffer3D handle, float x, float y, float z) {
    AudioBuffer* buffer = AudioBuffer3DFind(s_set, handle);
    const int result = AudioBufferSetPosition3D(buffer, x, y, z);
    if (result == kAudioOk) ApplyLevels(buffer);
    return result;
}

void RealBuffer3DRelease(PlatformBuffer3D handle) {
    Destroy(AudioBuffer3DRelease(s_set, handle));
}

int RealCreateListener(PlatformListener* out) {
    if (out) *out = nullptr;
    return AudioListenerCreate(s_set, out);
}

void RealListenerRelease(PlatformListener listener) {
    AudioListenerRelease(s_set, listener);
}
