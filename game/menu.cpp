// Placeholder until this module is written: every function does nothing.
#include "game/menu.h"

int g_menuIndex{};
int LoadMenuSounds() { return 0; }
void ReleaseMenuSounds() {  }
int EnterMenu() { return 0; }
void ReturnToMenu() {  }
void SayMenuItem() {  }
void StopMenuVoices() {  }
void StopMenuMusic() {  }
int MenuKeyDown(int /*key*/) { return 0; }
void MenuTick() {  }
