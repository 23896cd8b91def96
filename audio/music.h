// The background music's level, which the player sets with Page Up and Page Down.
#pragma once

#include "audio/sound.h"

// Decibels below the music's own level: from the top (0) down to -30 in steps of 3, then off.
constexpr int kMusicTop = 0;
constexpr int kMusicBottom = -30;
constexpr int kMusicStepDb = 3;
constexpr int kMusicOff = -1000;

extern int g_musicLevel;

// Whether `level` is one of the levels above (the top, a step down to the bottom, or off).
bool IsMusicLevel(int level);
// The volume a music loop plays at, in hundredths of a decibel (silence when off).
int MusicVolume();
// Starts a music loop from its beginning at the player's level.
void PlayMusicLooping(Sound music);
// Brings a music loop that is playing to the player's level at once.
void ApplyMusicLevel(Sound music);
// One step louder or quieter. False at the top or at off, where nothing changes.
bool StepMusicLevel(bool louder);
