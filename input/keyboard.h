// The hand-over of key messages to the game.
#pragma once

// 0 while the window has lost the keyboard: keys that come meanwhile never reach the game.
extern int g_windowHasKeyboard;

void HandleKeyDown(int key);
void HandleKeyUp(int key);
// The window lost the keyboard (0) or got it back (1).
void HandleKeyboardFocus(int hasKeyboard);
