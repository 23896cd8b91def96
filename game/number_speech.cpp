// Numbers broken into the recorded pieces of the score bank.
#include "audio/bank_slots.h"
#include "game/announcer.h"
#include "game/state.h"
#include "storage/best_scores.h"

namespace {

// How many pieces of g_speech are filled while it is built.
int pieceCount = 0;

void Add(int slot) {
    if (pieceCount < kSpeechLength - 1) g_speech[pieceCount++] = slot;  // room for the end mark
}

void DropTrailingZero() {
    if (pieceCount > 0 && g_speech[pieceCount - 1] == NumberSlot(0))
        g_speech[--pieceCount] = kSpeechEnd;
}

void AddBelowHundredThousand(int n, bool piecesBefore);

// A count before "hundred" that has no piece of its own (21 and above, from 2,100,000 on) is
// itself spoken as a number, so 3,500,000 is "thirty-five hundred thousand" and every score up
// to the largest int stays within the bank and within g_speech (17 pieces at most).
void AddCount(int count) {
    if (count <= 20) {
        Add(NumberSlot(count));
        return;
    }
    AddBelowHundredThousand(count, false);
    DropTrailingZero();
}

void AddBelowHundredThousand(int n, bool piecesBefore) {
    bool anyPiece = piecesBefore;
    if (n >= 20000) {
        Add(TensSlot(n / 10000));
        n %= 10000;
        if (n < 1000) Add(kScoreSlotThousand);
        if (int u = n / 1000; u > 0) {
            Add(NumberSlot(u));
            Add(kScoreSlotThousand);
            n %= 1000;
        }
    } else {
        if (int u = n / 1000; u > 0) {
            Add(NumberSlot(u));
            anyPiece = true;
        }
        if (anyPiece) Add(kScoreSlotThousand);
        n %= 1000;
    }
    if (int c = n / 100; c > 0) {
        Add(NumberSlot(c));
        Add(kScoreSlotHundred);
        n %= 100;
    }
    if (n > 19) {
        Add(TensSlot(n / 10));
        if (n % 10 > 0) Add(NumberSlot(n % 10));
    } else {
        Add(NumberSlot(n));
    }
}

void AddNumber(int number) {
    int n = number < 0 ? 0 : number;
    bool anyPiece = false;
    if (int h = n / 100000; h > 0) {
        AddCount(h);
        Add(kScoreSlotHundred);
        n %= 100000;
        anyPiece = true;
    }
    AddBelowHundredThousand(n, anyPiece);
    // A number above 0 never ends in the word zero.
    if (number > 0) DropTrailingZero();
}

int TopTenScore() {
    if (g_topTenIndex < 0 || g_topTenIndex >= kBestSlotCount) return 0;
    return g_bestScores[g_topTenIndex];
}

}  // namespace

void BuildScoreSpeech(SpeechKind kind) {
    for (int& slot : g_speech) slot = kSpeechEnd;
    pieceCount = 0;
    if (kind == kSpeechTopTenEntry && g_topTenIndex > g_bestLastIndex) {
        Add(kScoreSlotReturnToMenu);
        return;
    }
    Add(kind == kSpeechFinalScore ? kScoreSlotFinalScoreIntro : kScoreSlotTopTenIntro);
    AddNumber(kind == kSpeechFinalScore ? g_score : TopTenScore());
    Add(kScoreSlotPoints);
}
