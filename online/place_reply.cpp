// Speaking what the score server answered: the place in its top ten, or not enough.
#include <cstring>

#include "audio/banks.h"
#include "online/submit.h"

enum { kMadeItSound = 36, kNotEnoughSound = 37 };

void AnnouncePlace(const char* reply) {
    // Only the first character decides, and for a 1 whether anything follows it: "10" and
    // "1\n" are both place ten.
    char first = reply[0];
    if (first == '1') {
        SayPlace(std::strlen(reply) == 1 ? 1 : 10);
    } else if (first >= '2' && first <= '9') {
        SayPlace(first - '0');
    }
}

void SayPlace(int n) {
    if (n < 1 || n > 10) return;
    PlaySoundAndWait(g_scoreSounds[kMadeItSound], 0, 0);
    PlaySoundAndWait(g_scoreSounds[n], 0, 0);
}

void SayNotEnough() {
    PlaySoundAndWait(g_scoreSounds[kNotEnoughSound], 0, 0);
}
