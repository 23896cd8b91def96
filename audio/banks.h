// The sound banks: every sound the game loads, by table and index, and the one pattern by which
// a bank is loaded, stopped and released.
#pragma once

#include "audio/sound.h"

// An entry of the banks that can hold 3D sounds.
struct SoundSlot {
    Sound sound;
    PlatformBuffer3D buffer3D;
    int use3D;
};

constexpr int kMenuSoundCount = 12;
constexpr int kScoreSoundCount = 38;
constexpr int kLevelSoundCount = 51;
constexpr int kLearnSoundCount = 9;
constexpr int kSubmitSoundCount = 3;
constexpr int kSpeakerTestSoundCount = 4;
constexpr int kPracticeSoundCount = 5;

extern Sound g_menuSounds[kMenuSoundCount];
extern Sound g_scoreSounds[kScoreSoundCount];
extern SoundSlot g_levelSounds[kLevelSoundCount];
extern Sound g_learnSounds[kLearnSoundCount];
extern Sound g_submitSounds[kSubmitSoundCount];
extern SoundSlot g_speakerTestSounds[kSpeakerTestSoundCount];
extern Sound g_practiceSounds[kPracticeSoundCount];
extern Sound g_introSound;
extern Sound g_gameOverSound;
extern PlatformListener g_levelListener;

// The catalogue: the file of every load slot, by bank and index (computed names already
// formatted). Names are relative to the program folder.
extern const char* const kMenuSoundFiles[kMenuSoundCount];
extern const char* const kScoreSoundFiles[kScoreSoundCount];
extern const char* const kLevelSoundFiles[kLevelSoundCount];
extern const char* const kLearnSoundFiles[kLearnSoundCount];
extern const char* const kSubmitSoundFiles[kSubmitSoundCount];
extern const char* const kSpeakerTestSoundFiles[kSpeakerTestSoundCount];
extern const char* const kPracticeSoundFiles[kPracticeSoundCount];
extern const char* const kIntroSoundFile;     // "game\game_intro.vgz"
extern const char* const kGameOverSoundFile;  // "game\say_game_over.wav"
extern const char* const kExitSoundFile;      // "game\exit_game.vgz"

// Every list above, the single files as lists of one: what the sound pack must hold.
struct SoundFileList {
    const char* const* files;
    int count;
};
inline constexpr int kSoundFileListCount = 10;
extern const SoundFileList kSoundFileLists[kSoundFileListCount];

// The one loading pattern: loads the entries in index order; at the first that does not load,
// runs `release` (the bank's own release step) and returns 0. Returns 1 when all are loaded.
int LoadBank(Sound* bank, const char* const* files, int count, void (*release)());
// Releases every entry that holds a sound and sets it to null.
void ReleaseBank(Sound* bank, int count);
void StopBank(Sound* bank, int first, int last);  // entries first..last inclusive
// The same for banks of slots: a slot's 3D interface is released before its sound.
void ReleaseSlotBank(SoundSlot* bank, int count);

// The score bank, loaded at start-up.
int LoadScoreSounds();
void ReleaseScoreSounds();
