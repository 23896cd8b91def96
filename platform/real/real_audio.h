// The real backend's sound device: SDL2's audio device driving our own mixer.
#pragma once

#include "platform/platform.h"

// The frames of one device buffer (what a play call may wait before it is heard).
int RealAudioDeviceFrames();
// Mixes `frames` stereo frames of every playing buffer into `out`, as the device does, and moves
// the buffers on. For tests and benchmarks, without a device open.
void RealAudioRender(int16_t* out, int frames);

int RealAudioOpen();
void RealAudioClose();
int RealCreateBuffer(const PlatformWaveFormat* format, uint32_t bytes, int flags,
                     Audio3DAlgorithm algorithm, PlatformBuffer* out);
int RealBufferLock(PlatformBuffer buffer, uint32_t offset, uint32_t bytes, void** region1,
                   uint32_t* bytes1, void** region2, uint32_t* bytes2);
int RealBufferUnlock(PlatformBuffer buffer, void* region1, uint32_t bytes1, void* region2,
                     uint32_t bytes2);
int RealBufferSetPosition(PlatformBuffer buffer, uint32_t bytePosition);
int RealBufferSetPan(PlatformBuffer buffer, int pan);
int RealBufferSetVolume(PlatformBuffer buffer, int volume);
int RealBufferPlay(PlatformBuffer buffer, int flags);
int RealBufferStop(PlatformBuffer buffer);
int RealBufferGetStatus(PlatformBuffer buffer, uint32_t* status);
void RealBufferRelease(PlatformBuffer buffer);
void RealBufferSetLabel(PlatformBuffer buffer, const char* label);
int RealBufferGet3D(PlatformBuffer buffer, PlatformBuffer3D* out);
int RealBuffer3DSetMinDistance(PlatformBuffer3D buffer3D, float distance);
int RealBuffer3DSetPosition(PlatformBuffer3D buffer3D, float x, float y, float z);
void RealBuffer3DRelease(PlatformBuffer3D buffer3D);
int RealCreateListener(PlatformListener* out);
void RealListenerRelease(PlatformListener listener);
