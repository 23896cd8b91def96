// The virtual backend's sound buffers: the same rules as the real ones, timed by the virtual
// clock (a sound lasts its byte count divided by its average bytes a second).
#pragma once

#include "platform/platform.h"

// Forgets every buffer, the listener and the device (called by VirtualReset).
void VirtualAudioReset();

// What is recorded (VirtualCall), by op; every record of a buffer carries the buffer's label:
//   "AudioOpen" a = result          "AudioClose" (the buffers still alive end with it)
//   "CreateBuffer" a = result, b = creation flags (no label yet)
//   "Label" label = the name given  "SetPosition" a = byte position, b = result
//   "SetPan" a = pan, b = result    "SetVolume" a = volume, b = result
//   "Play" a = pan in force (0 for a 3D buffer), b = volume in force, x = play flags
//   "Stop"  "Release"  "Get3D" a = result  "Release3D"
//   "SetMinDistance" x = distance, b = result   "SetPosition3D" x, y, z, b = result
//   "CreateListener" a = result     "ReleaseListener"
// Lock, unlock and status queries are not recorded. Failures can be armed with VirtualFail for
// "AudioOpen", "CreateBuffer", "Lock", "Get3D" and "CreateListener".

// How many listeners are alive.
int VirtualLiveListeners();

int VirtualAudioOpen();
void VirtualAudioClose();
int VirtualCreateBuffer(const PlatformWaveFormat* format, uint32_t bytes, int flags,
                        Audio3DAlgorithm algorithm, PlatformBuffer* out);
int VirtualBufferLock(PlatformBuffer buffer, uint32_t offset, uint32_t bytes, void** region1,
                      uint32_t* bytes1, void** region2, uint32_t* bytes2);
int VirtualBufferUnlock(PlatformBuffer buffer, void* region1, uint32_t bytes1, void* region2,
                        uint32_t bytes2);
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
