// Placeholder until this module is written: every function does nothing.
#include "input/controller.h"

int g_controllerLive{};
int InitController() { return 0; }
int PollController() { return 0; }
void ShutdownController() {  }
void AcquireController() {  }
