// The music's level: the volume every music loop is started at and brought to.
#include "audio/music.h"

int g_musicLevel = kMusicTop;

bool IsMusicLevel(int level) {
    if (level == kMusicOff) return true;
    return level <= kMusicTop && level >= kMusicBottom && level % kMusicStepDb == 0;
}

int MusicVolume() {
    return g_musicLevel == kMusicOff ? kVolumeSilent : g_musicLevel * 100;
}

void PlayMusicLooping(Sound music) {
    PlaySoundLooping(music, 0, MusicVolume());
}

void ApplyMusicLevel(Sound music) {
    if (IsSoundLooping(music)) SetSoundVolume(music, MusicVolume());
}

bool StepMusicLevel(bool louder) {
    int next = g_musicLevel;
    if (louder) {
        if (g_musicLevel == kMusicOff) {
            next = kMusicBottom;
        } else if (g_musicLevel < kMusicTop) {
            next = g_musicLevel + kMusicStepDb;
        }
    } else if (g_musicLevel != kMusicOff) {
        next = g_musicLevel > kMusicBottom ? g_musicLevel - kMusicStepDb : kMusicOff;
    }
    if (next == g_musicLevel) return false;
    g_musicLevel = next;
    return true;
}
