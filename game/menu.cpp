// The main menu: a spoken list stepped with Up and Down, chosen with Enter, over looping music.
#include "game/menu.h"

#include "audio/banks.h"
#include "game/announcer.h"
#include "game/learn.h"
#include "game/level.h"
#include "game/speaker_test.h"
#include "game/state.h"
#include "online/submit.h"
#include "platform/key_codes.h"

int g_menuIndex = 0;

namespace {

// Entries of the menu bank; the index of an item's phrase is the item's number.
constexpr int kInstructions = 0;
constexpr int kStartGame = 1;
constexpr int kTestSpeakers = 4;
constexpr int kLearnGameSounds = 5;
constexpr int kFinalScore = 6;
constexpr int kViewTopTen = 7;
constexpr int kSendScore = 8;
constexpr int kQuit = 9;
constexpr int kMusic = 10;

struct MenuMove {
    int current;
    int afterUp;
    int afterDown;
};

// Entries 2 and 3 hold copies of Start game and are never current.
constexpr MenuMove kMenuMoves[] = {
    // current         after Up         after Down
    {kInstructions, kStartGame, kStartGame},
    {kStartGame, kQuit, kTestSpeakers},
    {kTestSpeakers, kStartGame, kLearnGameSounds},
    {kLearnGameSounds, kTestSpeakers, kFinalScore},
    {kFinalScore, kLearnGameSounds, kViewTopTen},
    {kViewTopTen, kFinalScore, kSendScore},
    {kSendScore, kViewTopTen, kQuit},
    {kQuit, kSendScore, kStartGame},
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
    if (g_menuIndex == kInstructions) g_menuIndex = kStartGame;
    switch (g_menuIndex) {
        case kStartGame:
            StopMenuVoices();
            StopMenuMusic();
            g_mode = MODE_LEVEL;
            if (!StartLevel()) {
                g_mode = MODE_MENU;
                ReturnToMenu();
            }
            break;
        case kTestSpeakers:
            g_mode = MODE_SPEAKER_TEST;
            StopMenuVoices();
            if (!RunSpeakerTest()) g_mode = MODE_MENU;
            break;
        case kLearnGameSounds:
            g_mode = MODE_LEARN;
            StopMenuVoices();
            if (!StartLearnSounds()) g_mode = MODE_MENU;
            break;
        case kFinalScore:
            g_mode = MODE_FINAL_SCORE;
            StopMenuVoices();
            SayScore(kSpeechFinalScore);
            break;
        case kViewTopTen:
            g_mode = MODE_TOP_TEN;
            StopMenuVoices();
            SayScore(kSpeechTopTenEntry);
            break;
        case kSendScore:
            if (g_score == 0) {
                SayNotEnough();
                break;
            }
            g_mode = MODE_SEND_SCORE;
            StopMenuVoices();
            if (!StartScoreSubmission()) g_mode = MODE_MENU;
            break;
        case kQuit:
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
    g_menuIndex = kInstructions;
    PlaySoundLooping(g_menuSounds[kMusic], 0, 0);
    PlaySoundOnce(g_menuSounds[kInstructions], 0, 0);
    return 1;
}

void ReturnToMenu() {
    g_mode = MODE_MENU;
    Sound music = g_menuSounds[kMusic];
    if (music && !IsSoundLooping(music)) PlaySoundLooping(music, 0, 0);
    SayMenuItem();
}

void SayMenuItem() {
    StopMenuVoices();
    PlaySoundOnce(g_menuSounds[g_menuIndex], 0, 0);
}

void StopMenuVoices() {
    StopBank(g_menuSounds, 0, kMusic - 1);
    StopBank(g_menuSounds, kMusic + 1, kMenuSoundCount - 1);
}

void StopMenuMusic() {
    StopSound(g_menuSounds[kMusic]);
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
    if (IsSoundPlaying(g_menuSounds[kInstructions])) return;
    if (!g_tickEnabled || g_menuIndex != kInstructions) return;
    // The instructions have ended by themselves: announce the first item and let the menu rest.
    g_tickEnabled = 0;
    g_menuIndex = kStartGame;
    SayMenuItem();
}
