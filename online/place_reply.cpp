// Speaking what the score server answered: the place in its top ten, or not enough.
#include "audio/bank_slots.h"
#include "audio/banks.h"
#include "online/submit.h"

void AnnouncePlace(const char* reply) {
    // The first character decides, and for a 1 the one after it: "10" is place ten, while "1"
    // alone or followed by a line end or anything else is place one.
    char first = reply[0];
    if (first == '1') {
        SayPlace(reply[1] == '0' ? 10 : 1);
    } else if (first >= '2' && first <= '9') {
        SayPlace(first - '0');
    }
}

void SayPlace(int n) {
    if (n < 1 || n > 10) return;
    PlaySoundAndWait(g_scoreSounds[kScoreSlotMadeIt], 0, 0);
    PlaySoundAndWait(g_scoreSounds[NumberSlot(n)], 0, 0);
}

void SayNotEnough() {
    PlaySoundAndWait(g_scoreSounds[kScoreSlotNotEnough], 0, 0);
}
