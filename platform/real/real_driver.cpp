// Placeholder until the real backend is written.
#include "platform/driver.h"

const PlatformDriver g_realDriver = {"real"};
