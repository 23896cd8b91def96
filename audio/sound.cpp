// The sound device and the operations on one loaded sound. Every operation takes a null Sound
// and then does nothing (the queries answer 0).
#include "audio/sound.h"

#include <cstring>

#include "audio/sound_file.h"

int g_soundDevice = 0;

namespace {

constexpr int kPlainSoundFlags = kBufferStatic | kBufferCtrlPan | kBufferCtrlVolume;
constexpr int k3DSoundFlags = kBufferStatic | kBufferCtrl3D | kBufferCtrlVolume;

uint32_t StatusOf(Sound sound) {
    uint32_t status = 0;
    // A failed query counts as not playing.
    if (PlatformBufferGetStatus(sound, &status) < 0) return 0;
    return status;
}

// Reads the file and copies its samples into a new buffer. `acceptInfoCodes`: whether a
// positive creation result still counts as success.
Sound LoadInto(const char* relativeName, int flags, Audio3DAlgorithm algorithm,
               bool acceptInfoCodes) {
    if (!ReadSoundFile(relativeName)) return nullptr;
    const PlatformWaveFormat format = SoundFileFormat();
    const uint32_t dataBytes = SoundFileDataBytes();

    Sound sound = nullptr;
    const int created = PlatformCreateBuffer(&format, dataBytes, flags, algorithm, &sound);
    if (created < 0 || (created > 0 && !acceptInfoCodes)) {
        // A buffer made with an unwanted success code is not kept either.
        if (sound) PlatformBufferRelease(sound);
        return nullptr;
    }
    if (!sound) return nullptr;
    PlatformBufferSetLabel(sound, relativeName);

    void* region1 = nullptr;
    void* region2 = nullptr;
    uint32_t bytes1 = 0, bytes2 = 0;
    if (PlatformBufferLock(sound, 0, dataBytes, &region1, &bytes1, &region2, &bytes2) < 0 ||
        !region1 || static_cast<uint64_t>(bytes1) + bytes2 > dataBytes) {
        PlatformBufferRelease(sound);
        return nullptr;
    }
    const uint8_t* samples = g_fileBuffer + kSoundFileHeaderBytes;
    std::memcpy(region1, samples, bytes1);
    if (bytes2 != 0 && region2) std::memcpy(region2, samples + bytes1, bytes2);
    PlatformBufferUnlock(sound, region1, bytes1, region2, bytes2);
    return sound;
}

// From the start, at the pan and volume given (a 3D sound has no pan and keeps its place).
void Start(Sound sound, int pan, int volume, int playFlags) {
    PlatformBufferStart(sound, 0, pan, volume, playFlags);
}

}  // namespace

int CreateSoundDevice() {
    if (PlatformAudioOpen() != 0) return 0;
    g_soundDevice = 1;
    return 1;
}

void ReleaseSoundDevice() {
    if (!g_soundDevice) return;
    PlatformAudioClose();
    g_soundDevice = 0;
}

Sound LoadSound(const char* relativeName) {
    return LoadInto(relativeName, kPlainSoundFlags, kAlgorithmDefault, false);
}

Sound LoadSound3D(const char* relativeName) {
    return LoadInto(relativeName, k3DSoundFlags, kAlgorithmHrtfFull, true);
}

void PlaySoundOnce(Sound sound, int pan, int volume) {
    if (sound) Start(sound, pan, volume, 0);
}

void PlaySoundLooping(Sound sound, int pan, int volume) {
    if (sound) Start(sound, pan, volume, kPlayLooping);
}

void PlaySoundAndWait(Sound sound, int pan, int volume) {
    if (!sound) return;
    Start(sound, pan, volume, 0);
    while (StatusOf(sound) == kStatusPlaying) PlatformYield();
}

int IsSoundPlaying(Sound sound) {
    return sound && StatusOf(sound) == kStatusPlaying ? 1 : 0;
}

int IsSoundLooping(Sound sound) {
    return sound && StatusOf(sound) == (kStatusPlaying | kStatusLooping) ? 1 : 0;
}

void StopSound(Sound sound) {
    if (sound) PlatformBufferStop(sound);
}

void ReleaseSound(Sound sound) {
    if (sound) PlatformBufferRelease(sound);
}

PlatformListener CreateListener() {
    PlatformListener listener = nullptr;
    if (PlatformCreateListener(&listener) < 0) return nullptr;
    return listener;
}
