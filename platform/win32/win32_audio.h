// The Windows backend's sound device: WASAPI driving our own mixer.
#pragma once

#include "platform/platform.h"

// The frames of one device buffer (what a play call may wait before it is heard).
int Win32AudioDeviceFrames();
// Mixes `frames` stereo frames of every playing buffer into `out`, as the device does, and moves
// the buffers on. For tests and benchmarks, without a device open.
void Win32AudioRender(int16_t* out, int frames);

int Win32AudioOpen();
void Win32AudioClose();
int Win32CreateBuffer(const PlatformWaveFormat* format, uint32_t bytes, int flags,
                      Audio3DAlgorithm algorithm, PlatformBuffer* out);
int Win32BufferLock(PlatformBuffer buffer, uint32_t offset, uint32_t bytes, void** region1,
                    uint32_t* bytes1, void** region2, uint32_t* bytes2);
int Win32BufferUnlock(PlatformBuffer buffer, void* region1, uint32_t bytes1, void* region2,
                      uint32_t bytes2);
int Win32BufferSetPosition(PlatformBuffer buffer, uint32_t bytePosition);
int Win32BufferSetPan(PlatformBuffer buffer, int pan);
int Win32BufferSetVolume(PlatformBuffer buffer, int volume);
int Win32BufferPlay(PlatformBuffer buffer, int flags);
int Win32BufferStop(PlatformBuffer buffer);
int Win32BufferGetStatus(PlatformBuffer buffer, uint32_t* status);
void Win32BufferRelease(PlatformBuffer buffer);
void Win32BufferSetLabel(PlatformBuffer buffer, const char* label);
int Win32BufferGet3D(PlatformBuffer buffer, PlatformBuffer3D* out);
int Win32Buffer3DSetMinDistance(PlatformBuffer3D buffer3D, float distance);
int Win32Buffer3DSetPosition(PlatformBuffer3D buffer3D, float x, float y, float z);
void Win32Buffer3DRelease(PlatformBuffer3D buffer3D);
int Win32CreateListener(PlatformListener* out);
void Win32ListenerRelease(PlatformListener listener);
