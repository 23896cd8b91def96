// What the virtual backend's own files share among themselves (not for tests).
#pragma once

#include "platform/virtual/virtual.h"

struct PlatformDriver;
extern const PlatformDriver g_virtualDriver;

// Forgets the driver's own state (the open controller).
void VirtualDriverReset();
bool VirtualControllerAttached();
const VirtualHttpHandler& VirtualCurrentHttpHandler();
