// Learning the game's cues: five spoken items stepped with Up and Down; Enter plays the cue
// that the current item names, or leaves on the last item.
#include "game/learn.h"

#include "audio/bank_slots.h"
#include "audio/banks.h"
#include "game/menu.h"
#include "platform/key_codes.h"

int g_learnPos = kLearnSlotKeyClickItem;

namespace {

int LeaveLearn() {
    StopLearnSounds();
    ReleaseLearnSounds();
    ReturnToMenu();
    return 0;
}

}  // namespace

int StartLearnSounds() {
    g_learnPos = kLearnSlotKeyClickItem;
    if (!LoadBank(g_learnSounds, kLearnSoundFiles, kLearnSoundCount, ReleaseLearnSounds)) return 0;
    PlaySoundOnce(g_learnSounds[kLearnSlotKeyClickItem], 0, 0);
    return 1;
}

int OnLearnKey(int key) {
    switch (key) {
        case kKeyUp:
            g_learnPos =
                g_learnPos == kLearnSlotKeyClickItem ? kLearnSlotReturnItem : g_learnPos - 1;
            AnnounceLearnItem();
            return 1;
        case kKeyDown:
            g_learnPos =
                g_learnPos == kLearnSlotReturnItem ? kLearnSlotKeyClickItem : g_learnPos + 1;
            AnnounceLearnItem();
            return 1;
        case kKeyEnter:
            if (g_learnPos == kLearnSlotReturnItem) return LeaveLearn();
            StopLearnSounds();
            PlaySoundOnce(g_learnSounds[LearnCueSlot(g_learnPos)], 0, 0);
            return 1;
        case kKeyEscape:
            return LeaveLearn();
        default:
            return 1;
    }
}

void AnnounceLearnItem() {
    StopLearnSounds();
    PlaySoundOnce(g_learnSounds[g_learnPos], 0, 0);
}

void StopLearnSounds() {
    StopBank(g_learnSounds, 0, kLearnSoundCount - 1);
}

void ReleaseLearnSounds() {
    ReleaseBank(g_learnSounds, kLearnSoundCount);
}
