// The three entry points by which every input reaches the game.
#pragma once

int KeyDownDispatch(int key);  // 0: close the window
void KeyUpDispatch(int key);
int TickDispatch();
