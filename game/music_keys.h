// Page Up and Page Down set the music's level in every mode.
#pragma once

// Takes Page Up and Page Down: 1 when `key` was one of them (the mode never sees it), else 0.
int MusicKeyDown(int key);
int IsMusicKey(int key);
