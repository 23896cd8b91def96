// Placeholder until this module is written: every function does nothing.
#include "storage/player_details.h"

int ReadPlayerDetails() { return 0; }
