// The game state that more than one mode reads or writes.
#include "game/state.h"

int g_mode = MODE_INTRO;
int g_tickEnabled = 0;
int g_score = 0;
