// What the virtual backend's own files share among themselves (not for tests).
#pragma once

#include "platform/sound/soft_audio.h"
#include "platform/virtual/virtual.h"

struct PlatformDriver;
extern const PlatformDriver g_virtualDriver;

// Forgets the driver's own state (the open controller).
void VirtualDriverReset();
bool VirtualControllerAttached();
const VirtualHttpHandler& VirtualCurrentHttpHandler();

// The sound device (virtual_device.cpp): its hooks, the watcher that records every sound
// operation, its fresh start (a device open, no buffers), and its periods rendered up to the
// clock's time (called whenever the clock moves).
int VirtualAudioOpen(SoftAudioRender render, int wantedRate, int wantedPeriod, int* rate,
                     int* period);
void VirtualAudioClose();
void VirtualAudioLock();
void VirtualAudioUnlock();
extern const SoftAudioWatcher kVirtualSoundWatcher;
void VirtualDeviceReset();
void VirtualDeviceRenderTo(uint64_t nowMs);
