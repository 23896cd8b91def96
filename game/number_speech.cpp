// Numbers broken into the recorded pieces of the score bank.
#include "game/announcer.h"
#include "game/state.h"
#include "storage/best_scores.h"

namespace {

// Slots of the score bank: 0 to 20 speak themselves, the tens 30 to 90 lie at t + 18.
constexpr int kSlotHundred = 28;
constexpr int kSlotThousand = 29;
constexpr int kSlotFinalScoreIntro = 30;
constexpr int kSlotTopTenIntro = 31;
constexpr int kSlotPoints = 33;
constexpr int kSlotReturnToMenu = 35;
constexpr int kEnd = -1;

int TensSlot(int tens) {
    return tens + 18;
}

// How many pieces of g_speech are filled while it is built.
int pieceCount = 0;

void Add(int slot) {
    if (pieceCount < kSpeechLength - 1) g_speech[pieceCount++] = slot;  // room for the end mark
}

void DropTrailingZero() {
    if (pieceCount > 0 && g_speech[pieceCount - 1] == 0) g_speech[--pieceCount] = kEnd;
}

void AddBelowHundredThousand(int n, bool piecesBefore);

// A count before "hundred" that has no piece of its own (21 and above, from 2,100,000 on) is
// itself spoken as a number, so 3,500,000 is "thirty-five hundred thousand" and every score up
// to the largest int stays within the bank and within g_speech (17 pieces at most).
void AddCount(int count) {
    if (count <= 20) {
        Add(count);
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
        if (n < 1000) Add(kSlotThousand);
        if (int u = n / 1000; u > 0) {
            Add(u);
            Add(kSlotThousand);
            n %= 1000;
        }
    } else {
        if (int u = n / 1000; u > 0) {
            Add(u);
            anyPiece = true;
        }
        if (anyPiece) Add(kSlotThousand);
        n %= 1000;
    }
    if (int c = n / 100; c > 0) {
        Add(c);
        Add(kSlotHundred);
        n %= 100;
    }
    if (n > 19) {
        Add(TensSlot(n / 10));
        if (n % 10 > 0) Add(n % 10);
    } else {
        Add(n);
    }
}

void AddNumber(int number) {
    int n = number < 0 ? 0 : number;
    bool anyPiece = false;
    if (int h = n / 100000; h > 0) {
        AddCount(h);
        Add(kSlotHundred);
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
    for (int& slot : g_speech) slot = kEnd;
    pieceCount = 0;
    if (kind == kSpeechTopTenEntry && g_topTenIndex > g_bestLastIndex) {
        Add(kSlotReturnToMenu);
        return;
    }
    Add(kind == kSpeechFinalScore ? kSlotFinalScoreIntro : kSlotTopTenIntro);
    AddNumber(kind == kSpeechFinalScore ? g_score : TopTenScore());
    Add(kSlotPoints);
}
