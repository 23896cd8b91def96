// Placeholder until this module is written: every function does nothing.
#include "game/dispatch.h"

int KeyDownDispatch(int /*key*/) { return 0; }
void KeyUpDispatch(int /*key*/) {  }
int TickDispatch() { return 0; }
