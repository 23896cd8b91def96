// The Windows backend's sound device: the open hook of the software sound device over WASAPI.
#pragma once

#include "platform/sound/soft_audio.h"

int Win32AudioOpen(SoftAudioRender render, int wantedRate, int wantedPeriod, int* rate,
                   int* period);
