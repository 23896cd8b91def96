// Placeholder until the virtual backend is written.
#include "platform/driver.h"
#include "platform/virtual/virtual.h"

const PlatformDriver g_virtualDriver = {"virtual"};
