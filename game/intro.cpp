// The intro, played once at the first paint, and the goodbye played when the player leaves.
#include "game/intro.h"

#include "audio/banks.h"
#include "game/menu.h"
#include "game/state.h"
#include "platform/key_codes.h"

static void LeaveIntro() {
    ReleaseSound(g_introSound);
    g_introSound = nullptr;
    g_mode = MODE_MENU;
    EnterMenu();
}

void LoadIntro() {
    g_introSound = LoadSound(kIntroSoundFile);
}

void StartIntro() {
    if (g_introSound) PlaySoundOnce(g_introSound, 0, 0);
}

void IntroKeyDown(int key) {
    if (key != kKeyCtrl) return;
    StopSound(g_introSound);
    LeaveIntro();
}

void IntroTick() {
    if (IsSoundPlaying(g_introSound)) return;
    LeaveIntro();
}

void PlayExitMessage() {
    Sound goodbye = LoadSound(kExitSoundFile);
    if (goodbye) PlaySoundAndWait(goodbye, 0, 0);
    ReleaseSound(goodbye);
}
