// The sound device and the operations on one loaded sound.
#pragma once

#include "platform/platform.h"

// One loaded sound: a buffer that holds a whole file; null means no sound.
typedef PlatformBuffer Sound;

// 1 once the device has been opened.
extern int g_soundDevice;

// The lowest volume: silence.
constexpr int kVolumeSilent = -10000;

int CreateSoundDevice();
void ReleaseSoundDevice();

Sound LoadSound(const char* relativeName);
Sound LoadSound3D(const char* relativeName);
void PlaySoundOnce(Sound sound, int pan, int volume);
void PlaySoundLooping(Sound sound, int pan, int volume);
// Plays once and returns when the sound has ended; nothing is dispatched meanwhile.
void PlaySoundAndWait(Sound sound, int pan, int volume);
int IsSoundPlaying(Sound sound);
int IsSoundLooping(Sound sound);
void StopSound(Sound sound);
// Sets the volume of a sound, playing or not.
void SetSoundVolume(Sound sound, int volume);
// Plays a stopped sound on from where it was stopped (looping when `looping`).
void ResumeSound(Sound sound, int looping);
void ReleaseSound(Sound sound);
// The device's 3D listener, or null.
PlatformListener CreateListener();
