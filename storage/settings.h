// settings.dat, beside best.dat: the player's music level, one line, "music=-9" (decibels below
// the music's own level) or "music=off".
#pragma once

#include <string>

// The music level settings.dat holds; the top when the file is missing, empty, garbled or out of
// range.
int ReadMusicSetting();
// Writes settings.dat for the level, in one step. 1 when written.
int WriteMusicSetting(int level);

// The file's text for a level, and the level a text gives (the top where it gives none).
std::string FormatMusicSetting(int level);
int ParseMusicSetting(const std::string& text);
