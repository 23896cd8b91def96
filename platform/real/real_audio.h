// The real backend's sound device: SDL2's audio device as the hooks of the software sound
// device (platform/soft_audio.h), which does everything else.
#pragma once

#include "platform/platform.h"

int RealAudioOpen();
void RealAudioClose();
