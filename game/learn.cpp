// Placeholder until this module is written: every function does nothing.
#include "game/learn.h"

int g_learnPos{};
int StartLearnSounds() { return 0; }
int OnLearnKey(int /*key*/) { return 0; }
void AnnounceLearnItem() {  }
void StopLearnSounds() {  }
void ReleaseLearnSounds() {  }
