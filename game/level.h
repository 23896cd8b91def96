// Level play and the game-over message.
#pragma once

struct CharacterEntry {
    int soundSlot;
    int keyCode;
};

constexpr int kCharacterCount = 47;
constexpr int kStartLives = 3;
constexpr int kPointsPerCharacter = 100;
constexpr int kStartVolume = -800;
constexpr int kPanLeft = -3000;
constexpr int kPanRight = 3000;

extern CharacterEntry g_characters[kCharacterCount];
extern int g_lives;
extern int g_charIndex;
extern int g_charPoolSize;
extern int g_volumeStep;
extern int g_charPan;
extern int g_charVolume;
extern int g_lastTypedKey;
// 1 while the level waits for the window to get the keyboard back.
extern int g_levelPaused;

int StartLevel();
int LevelKeyDown(int key);
void LevelKeyUp(int key);
int LevelTick();
void GameOverKeyDown(int key);
void GameOverTick();

int LoadLevelSounds();
void UnloadLevelSounds();
void StopLevelSounds();
// The window lost the keyboard during level play, and got it back.
void PauseLevel();
void ResumeLevel();
