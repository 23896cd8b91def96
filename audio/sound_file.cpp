// Placeholder until this module is written: every function does nothing.
#include "audio/sound_file.h"

uint8_t g_fileBuffer[kMaxSoundFileBytes]{};
int g_fileBufferBytes{};
int ReadSoundFile(const char* /*relativeName*/) { return 0; }
