// Placeholder until this module is written: every function does nothing.
#include "game/level.h"

CharacterEntry g_characters[kCharacterCount]{};
int g_lives{};
int g_charIndex{};
int g_charPoolSize{};
int g_volumeStep{};
int g_charPan{};
int g_charVolume{};
int g_lastTypedKey{};
int StartLevel() { return 0; }
int LevelKeyDown(int /*key*/) { return 0; }
void LevelKeyUp(int /*key*/) {  }
int LevelTick() { return 0; }
void GameOverKeyDown(int /*key*/) {  }
void GameOverTick() {  }
int LoadLevelSounds() { return 0; }
void UnloadLevelSounds() {  }
void StopLevelSounds() {  }
