// The banks and the one pattern by which each is loaded, stopped and released.
#include "audio/banks.h"

Sound g_menuSounds[kMenuSoundCount]{};
Sound g_scoreSounds[kScoreSoundCount]{};
SoundSlot g_levelSounds[kLevelSoundCount]{};
Sound g_learnSounds[kLearnSoundCount]{};
Sound g_submitSounds[kSubmitSoundCount]{};
SoundSlot g_speakerTestSounds[kSpeakerTestSoundCount]{};
Sound g_practiceSounds[kPracticeSoundCount]{};
Sound g_introSound = nullptr;
Sound g_gameOverSound = nullptr;
PlatformListener g_levelListener = nullptr;

int LoadBank(Sound* bank, const char* const* files, int count, void (*release)()) {
    for (int i = 0; i < count; ++i) {
        bank[i] = LoadSound(files[i]);
        if (!bank[i]) {
            // Later entries are not attempted.
            if (release) release();
            return 0;
        }
    }
    return 1;
}

void ReleaseBank(Sound* bank, int count) {
    for (int i = 0; i < count; ++i) {
        if (!bank[i]) continue;
        ReleaseSound(bank[i]);
        bank[i] = nullptr;
    }
}

void StopBank(Sound* bank, int first, int last) {
    for (int i = first; i <= last; ++i) StopSound(bank[i]);
}

void ReleaseSlotBank(SoundSlot* bank, int count) {
    for (int i = 0; i < count; ++i) {
        SoundSlot& slot = bank[i];
        if (slot.buffer3D) {
            PlatformBuffer3DRelease(slot.buffer3D);
            slot.buffer3D = nullptr;
        }
        if (slot.sound) {
            ReleaseSound(slot.sound);
            slot.sound = nullptr;
        }
    }
}

int LoadScoreSounds() {
    return LoadBank(g_scoreSounds, kScoreSoundFiles, kScoreSoundCount, ReleaseScoreSounds);
}

void ReleaseScoreSounds() {
    ReleaseBank(g_scoreSounds, kScoreSoundCount);
}
