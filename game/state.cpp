// Placeholder until this module is written: every function does nothing.
#include "game/state.h"

int g_mode{};
int g_tickEnabled{};
int g_score{};
