// The virtual backend's sound buffers: the same rules as the real ones, timed by the virtual
// clock (a sound lasts its byte count divided by its average bytes a second).
#pragma once

#include "platform/platform.h"

int VirtualAudioOpen();
void VirtualAudioClose();
int VirtualCreateBuffer(const PlatformWaveFormat* format, uint32_t bytes, int flags, Audio3DAlgorithm algorithm, PlatformBuffer* out);
int VirtualBufferLock(PlatformBuffer buffer, uint32_t offset, uint32_t bytes, void** region1, uint32_t* bytes1, void** region2, uint32_t* bytes2);
int VirtualBufferUnlock(PlatformBuffer buffer, void* region1, uint32_t bytes1, void* region2, uint32_t bytes2);
int VirtualBufferSetPosition(PlatformBuffer buffer, uint32_t bytePosition);
int VirtualBufferSetPan(PlatformBuffer buffer, int pan);
int VirtualBufferSetVolume(PlatformBuffer buffer, int volume);
int VirtualBufferPlay(PlatformBuffer buffer, int flags);
int VirtualBufferStop(PlatformBuffer buffer);
int VirtualBufferGetStatus(PlatformBuffer buffer, uint32_t* status);
void VirtualBufferRelease(PlatformBuffer buffer);
void VirtualBufferSetLabel(PlatformBuffer buffer, const char* label);
int VirtualBufferGet3D(PlatformBuffer buffer, PlatformBuffer3D* out);
int VirtualBuffer3DSetMinDistance(PlatformBuffer3D buffer3D, float distance);
int VirtualBuffer3DSetPosition(PlatformBuffer3D buffer3D, float x, float y, float z);
void VirtualBuffer3DRelease(PlatformBuffer3D buffer3D);
int VirtualCreateListener(PlatformListener* out);
void VirtualListenerRelease(PlatformListener listener);
