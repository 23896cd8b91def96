// The music level keys: a step of 3 dB at a time, heard at once in the music that plays and
// kept in settings.dat for the next run.
#include "game/music_keys.h"

#include "audio/bank_slots.h"
#include "audio/banks.h"
#include "audio/music.h"
#include "platform/key_codes.h"
#include "storage/settings.h"

int IsMusicKey(int key) {
    return key == kKeyPageUp || key == kKeyPageDown ? 1 : 0;
}

int MusicKeyDown(int key) {
    if (!IsMusicKey(key)) return 0;
    // At the top or at off a further press changes nothing and plays nothing.
    if (!StepMusicLevel(key == kKeyPageUp)) return 1;
    // The loops that may be playing: the menu's and the level's.
    ApplyMusicLevel(g_menuSounds[kMenuSlotMusic]);
    ApplyMusicLevel(g_levelSounds[kLevelSlotBackground].sound);
    WriteMusicSetting(g_musicLevel);
    return 1;
}
