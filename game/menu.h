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
// The send-score prompt's keys: Y sends the score, N or Escape goes back to the menu.
int OnSubmitKey(int key);
void MenuTick();
