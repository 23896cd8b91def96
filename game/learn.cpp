// Learning the game's cues: five spoken items stepped with Up and Down; Enter plays the cue
// that the current item names, or leaves on the last item.
#include "game/learn.h"

#include "audio/banks.h"
#include "game/menu.h"
#include "platform/key_codes.h"

int g_learnPos = 0;

namespace {

// Items 0 to 3 name a cue, item 4 names the way back to the menu. The cue of item n lies in
// entry kFirstCue + n.
constexpr int kReturnItem = 4;
constexpr int kFirstCue = 5;

int LeaveLearn() {
    StopLearnSounds();
    ReleaseLearnSounds();
    ReturnToMenu();
    return 0;
}

}  // namespace

int StartLearnSounds() {
    g_learnPos = 0;
    if (!LoadBank(g_learnSounds, kLearnSoundFiles, kLearnSoundCount, ReleaseLearnSounds)) return 0;
    PlaySoundOnce(g_learnSounds[0], 0, 0);
    return 1;
}

int OnLearnKey(int key) {
    switch (key) {
        case kKeyUp:
            g_learnPos = g_learnPos == 0 ? kReturnItem : g_learnPos - 1;
            AnnounceLearnItem();
            return 1;
        case kKeyDown:
            g_learnPos = g_learnPos == kReturnItem ? 0 : g_learnPos + 1;
            AnnounceLearnItem();
            return 1;
        case kKeyEnter:
            if (g_learnPos == kReturnItem) return LeaveLearn();
            StopLearnSounds();
            PlaySoundOnce(g_learnSounds[kFirstCue + g_learnPos], 0, 0);
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
