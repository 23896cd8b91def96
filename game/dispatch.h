// The entry points by which every input reaches the game.
#pragma once

int KeyDownDispatch(int key);  // 0: close the window
void KeyUpDispatch(int key);
int TickDispatch();
// The window lost the keyboard (0) or got it back (1): a level waits meanwhile.
void FocusDispatch(int hasKeyboard);
