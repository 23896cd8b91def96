// Placeholder until this module is written: every function does nothing.
#include "input/keyboard.h"

void HandleKeyDown(int /*key*/) {  }
void HandleKeyUp(int /*key*/) {  }
