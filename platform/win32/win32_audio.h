// The Windows backend's sound device: WASAPI (win32_wasapi.cpp) as the software sound device's
// hooks (platform/soft_audio.h).
#pragma once

int Win32AudioOpen();
void Win32AudioClose();
