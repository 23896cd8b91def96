// A level that waits while the window has lost the keyboard: every level sound stops where it
// is and the tick stops; when the keyboard is back, the sounds go on from where they were (the
// music looping again) and the tick resumes, so no repeat grows and no life is lost meanwhile.
#include "audio/banks.h"
#include "game/level.h"

int g_levelPaused = 0;

namespace {

enum PausedAs { kWasStopped = 0, kWasPlayingOnce, kWasLooping };

PausedAs s_pausedAs[kLevelSoundCount];

}  // namespace

void PauseLevel() {
    if (g_levelPaused) return;
    g_levelPaused = 1;
    for (int slot = 0; slot < kLevelSoundCount; ++slot) {
        Sound sound = g_levelSounds[slot].sound;
        s_pausedAs[slot] = IsSoundLooping(sound)   ? kWasLooping
                           : IsSoundPlaying(sound) ? kWasPlayingOnce
                                                   : kWasStopped;
        if (s_pausedAs[slot] != kWasStopped) StopSound(sound);
    }
}

void ResumeLevel() {
    if (!g_levelPaused) return;
    g_levelPaused = 0;
    for (int slot = 0; slot < kLevelSoundCount; ++slot) {
        if (s_pausedAs[slot] == kWasStopped) continue;
        ResumeSound(g_levelSounds[slot].sound, s_pausedAs[slot] == kWasLooping);
    }
}
