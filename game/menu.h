#pragma once

extern int g_menuIndex;

int LoadMenuSounds();
void ReleaseMenuSounds();
int EnterMenu();
void ReturnToMenu();
void SayMenuItem();
void StopMenuVoices();
void StopMenuMusic();
int MenuKeyDown(int key);
void MenuTick();
