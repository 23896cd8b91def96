// Where the player's own files (best.dat, config.dat, settings.dat) live: the program folder,
// unless start-up chose a folder of the player's own because the program folder cannot be
// written.
#pragma once

#include <string>

// The player's folder with its trailing separator; empty means the program folder.
extern std::string g_playerDir;

// The full path of one of the player's files, by its name ("best.dat").
std::string PlayerFilePath(const char* name);
