// Placeholder until this module is written: every function does nothing.
#include "game/intro.h"

void StartIntro() {  }
void IntroKeyDown(int /*key*/) {  }
void IntroTick() {  }
void PlayExitMessage() {  }
