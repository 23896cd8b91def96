// Where the player's own files (best.dat, config.dat, settings.dat) live: the program folder,
// unless start-up chose a folder of the player's own because the program folder cannot be
// written.
#pragma once

#include <string>

// The player's folder with its trailing separator; empty means the program folder.
extern std::string g_playerDir;

// The full path of one of the player's files, by its name ("best.dat").
std::string PlayerFilePath(const char* name);

// Decides where the player's files live, once g_programDir is known; the game and tapdash-player
// both ask here. Where this program may write the program folder, g_playerDir stays empty and
// everything stays beside the program. Otherwise g_playerDir is the player's data folder
// (PlatformPlayerDataDir), where each of the player's files it lacks starts as a copy of the one
// beside the program, and best.dat, failing that, empty; when the folder cannot be made it is
// named all the same, so that nothing is written anywhere else and no score is kept.
// Returns the folder the files go to.
std::string ChoosePlayerDir();
