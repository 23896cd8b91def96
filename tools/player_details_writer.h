// tapdash-player's questions: the player's first name, last name, address and country, asked
// at a console and written into config.dat (storage/player_details.h).
#pragma once

#include <iosfwd>
#include <string>

#include "storage/player_details.h"

extern const char* const kDetailsPrompts[kPlayerDetailsFieldCount];

// Asks for the four answers one prompt at a time, asking again after a refused answer, and
// writes config.dat into `dir`. 0 when written; 1 when input ended first or the file could not
// be written (an existing config.dat is then left as it was).
int AskAndWritePlayerDetails(std::istream& in, std::ostream& out, const std::string& dir);
