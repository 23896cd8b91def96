// Placeholder until this module is written: every function does nothing.
#include "audio/sound.h"

int g_soundDevice{};
int CreateSoundDevice() { return 0; }
void ReleaseSoundDevice() {  }
Sound LoadSound(const char* /*relativeName*/) { return nullptr; }
Sound LoadSound3D(const char* /*relativeName*/) { return nullptr; }
void PlaySoundOnce(Sound /*sound*/, int /*pan*/, int /*volume*/) {  }
void PlaySoundLooping(Sound /*sound*/, int /*pan*/, int /*volume*/) {  }
void PlaySoundAndWait(Sound /*sound*/, int /*pan*/, int /*volume*/) {  }
int IsSoundPlaying(Sound /*sound*/) { return 0; }
int IsSoundLooping(Sound /*sound*/) { return 0; }
void StopSound(Sound /*sound*/) {  }
void ReleaseSound(Sound /*sound*/) {  }
PlatformListener CreateListener() { return nullptr; }
