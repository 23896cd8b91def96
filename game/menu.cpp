// The main menu: a spoken list stepped with Up and Down, chosen with Enter, over looping music.
#include "game/menu.h"

#include "audio/bank_slots.h"
#include "audio/banks.h"
#include "audio/music.h"
#include "game/announcer.h"
#include "game/learn.h"
#include "game/level.h"
#include "game/practice.h"
#include "game/speaker_test.h"
#include "game/state.h"
#include "online/submit.h"
#include "platform/key_codes.h"

int g_menuIndex = kMenuSlotInstructions;

namespace {

struct MenuMove {
    int current;
    int afterUp;
    int afterDown;
};

// Slot 3 holds a copy of Start game and is never current.
constexpr MenuMove kMenuMoves[] = {
    // current         after Up         after Down
    {kMenuSlotInstructions, kMenuSlotStartGame, kMenuSlotStartGame},
    {kMenuSlotStartGame, kMenuSlotQuit, kMenuSlotPractise},
    {kMenuSlotPractise, kMenuSlotStartGame, kMenuSlotTestSpeakers},
    {kMenuSlotTestSpeakers, kMenuSlotPractise, kMenuSlotLearnGameSounds},
    {kMenuSlotLearnGameSounds, kMenuSlotTestSpeakers, kMenuSlotFinalScore},
    {kMenuSlotFinalScore, kMenuSlotLearnGameSounds, kMenuSlotViewTopTen},
    {kMenuSlotViewTopTen, kMenuSlotFinalScore, kMenuSlotSendScore},
    {kMenuSlotSendScore, kMenuSlotViewTopTen, kMenuSlotQuit},
    {kMenuSlotQuit, kMenuSlotSendScore, kMenuSlotStartGame},
};

void MoveMenu(bool up) {
    for (const MenuMove& move : kMenuMoves) {
        if (move.current != g_menuIndex) continue;
        g_menuIndex = up ? move.afterUp : move.afterDown;
        break;
    }
    SayMenuItem();
}

// Returns 0 when the player is leaving the program.
int ChooseMenuItem() {
    if (g_menuIndex == kMenuSlotInstructions) g_menuIndex = kMenuSlotStartGame;
    switch (g_menuIndex) {
        case kMenuSlotStartGame:
            StopMenuVoices();
            StopMenuMusic();
            g_mode = MODE_LEVEL;
            if (!StartLevel()) {
                g_mode = MODE_MENU;
                ReturnToMenu();
            }
            break;
        case kMenuSlotPractise:
            StopMenuVoices();
            StopMenuMusic();
            g_mode = MODE_PRACTICE;
            if (!StartPractice()) {
                g_mode = MODE_MENU;
                ReturnToMenu();
            }
            break;
        case kMenuSlotTestSpeakers:
            g_mode = MODE_SPEAKER_TEST;
            StopMenuVoices();
            if (!RunSpeakerTest()) g_mode = MODE_MENU;
            break;
        case kMenuSlotLearnGameSounds:
            g_mode = MODE_LEARN;
            StopMenuVoices();
            if (!StartLearnSounds()) g_mode = MODE_MENU;
            break;
        case kMenuSlotFinalScore:
            g_mode = MODE_FINAL_SCORE;
            StopMenuVoices();
            SayScore(kSpeechFinalScore);
            break;
        case kMenuSlotViewTopTen:
            g_mode = MODE_TOP_TEN;
            StopMenuVoices();
            SayScore(kSpeechTopTenEntry);
            break;
        case kMenuSlotSendScore:
            if (g_score == 0) {
                SayNotEnough();
                break;
            }
            g_mode = MODE_SEND_SCORE;
            StopMenuVoices();
            if (!StartScoreSubmission()) g_mode = MODE_MENU;
            break;
        case kMenuSlotQuit:
            StopMenuVoices();
            StopMenuMusic();
            return 0;
        default:
            break;
    }
    return 1;
}

}  // namespace

int LoadMenuSounds() {
    return LoadBank(g_menuSounds, kMenuSoundFiles, kMenuSoundCount, ReleaseMenuSounds);
}

void ReleaseMenuSounds() {
    ReleaseBank(g_menuSounds, kMenuSoundCount);
}

int EnterMenu() {
    g_menuIndex = kMenuSlotInstructions;
    PlayMusicLooping(g_menuSounds[kMenuSlotMusic]);
    PlaySoundOnce(g_menuSounds[kMenuSlotInstructions], 0, 0);
    return 1;
}

void ReturnToMenu() {
    g_mode = MODE_MENU;
    Sound music = g_menuSounds[kMenuSlotMusic];
    if (music && !IsSoundLooping(music)) PlayMusicLooping(music);
    SayMenuItem();
}

void SayMenuItem() {
    StopMenuVoices();
    PlaySoundOnce(g_menuSounds[g_menuIndex], 0, 0);
}

void StopMenuVoices() {
    StopBank(g_menuSounds, kMenuSlotInstructions, kMenuSlotMusic - 1);
    StopBank(g_menuSounds, kMenuSlotMusic + 1, kMenuSoundCount - 1);
}

void StopMenuMusic() {
    StopSound(g_menuSounds[kMenuSlotMusic]);
}

int MenuKeyDown(int key) {
    switch (key) {
        case kKeyUp:
            MoveMenu(true);
            return 1;
        case kKeyDown:
            MoveMenu(false);
            return 1;
        case kKeyEscape:
            StopMenuVoices();
            StopMenuMusic();
            return 0;
        case kKeyEnter:
            return ChooseMenuItem();
        default:
            return 1;
    }
}

void MenuTick() {
    if (IsSoundPlaying(g_menuSounds[kMenuSlotInstructions])) return;
    if (!g_tickEnabled || g_menuIndex != kMenuSlotInstructions) return;
    // The instructions have ended by themselves: announce the first item and let the menu rest.
    g_tickEnabled = 0;
    g_menuIndex = kMenuSlotStartGame;
    SayMenuItem();
}

int OnSubmitKey(int key) {
    switch (key) {
        case kKeyEscape:
        case kKeyN:
            StopSubmitSounds();
            ReleaseSubmitSounds();
            ReturnToMenu();
            return 0;
        case kKeyY:
            StopSubmitSounds();
            SubmitScore(g_score);
            StopSubmitSounds();
            ReleaseSubmitSounds();
            ReturnToMenu();
            return 0;
        default:
            return 1;
    }
}
