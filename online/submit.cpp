// The send-score mode's prompt and the exchange run when the player answers Y.
#include "online/submit.h"

#include "audio/bank_slots.h"
#include "audio/banks.h"
#include "platform/platform.h"

void StopSubmitSounds() {
    for (Sound sound : g_submitSounds) {
        if (sound) StopSound(sound);
    }
}

void ReleaseSubmitSounds() {
    ReleaseBank(g_submitSounds, kSubmitSoundCount);
}

int StartScoreSubmission() {
    if (!LoadBank(g_submitSounds, kSubmitSoundFiles, kSubmitSoundCount, ReleaseSubmitSounds)) {
        return 0;
    }
    PlaySoundOnce(g_submitSounds[kSubmitSlotPrompt], 0, 0);
    return 1;
}

int SubmitScore(int score) {
    if (!ReadPlayerDetails()) {
        PlaySoundAndWait(g_submitSounds[kSubmitSlotConfigFirst], 0, 0);
        return 0;
    }
    PlaySoundAndWait(g_submitSounds[kSubmitSlotSending], 0, 0);
    AppendScoreToUrl(score);
    if (!SendScore()) return 0;
    // The server needs a moment to take the score into its list before it is asked for the
    // place; the wait blocks like every other part of the exchange.
    PlatformSleep(kPlaceQueryDelayMs);
    FetchTopPlace();
    return 1;
}
