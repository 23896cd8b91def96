// The program folder, kept by start-up (platform.h).
#include "platform/platform.h"

std::string g_programDir;
