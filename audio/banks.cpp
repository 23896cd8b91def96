// Placeholder until this module is written: every function does nothing.
#include "audio/banks.h"

Sound g_menuSounds[kMenuSoundCount]{};
Sound g_scoreSounds[kScoreSoundCount]{};
SoundSlot g_levelSounds[kLevelSoundCount]{};
Sound g_learnSounds[kLearnSoundCount]{};
Sound g_submitSounds[kSubmitSoundCount]{};
SoundSlot g_speakerTestSounds[kSpeakerTestSoundCount]{};
Sound g_introSound{};
Sound g_gameOverSound{};
PlatformListener g_levelListener{};
const char * const kMenuSoundFiles[kMenuSoundCount]{};
const char * const kScoreSoundFiles[kScoreSoundCount]{};
const char * const kLevelSoundFiles[kLevelSoundCount]{};
const char * const kLearnSoundFiles[kLearnSoundCount]{};
const char * const kSubmitSoundFiles[kSubmitSoundCount]{};
const char * const kSpeakerTestSoundFiles[kSpeakerTestSoundCount]{};
const char * const kIntroSoundFile{};
const char * const kGameOverSoundFile{};
const char * const kExitSoundFile{};
int LoadBank(Sound* /*bank*/, const char* const* /*files*/, int /*count*/, void (*)()) { return 0; }
void ReleaseBank(Sound* /*bank*/, int /*count*/) {  }
void StopBank(Sound* /*bank*/, int /*first*/, int /*last*/) {  }
void ReleaseSlotBank(SoundSlot* /*bank*/, int /*count*/) {  }
int LoadScoreSounds() { return 0; }
void ReleaseScoreSounds() {  }
