// The final score and the top-ten list, spoken piece by piece on the 50 ms tick.
#include "game/announcer.h"

#include "audio/bank_slots.h"
#include "audio/banks.h"
#include "game/menu.h"
#include "game/state.h"
#include "platform/key_codes.h"
#include "platform/platform.h"
#include "storage/best_scores.h"

int g_speech[kSpeechLength] = {};
int g_speechPos = 0;
int g_topTenIndex = 0;

namespace {

// Browsing the list stops every piece it may be speaking, up to the return-to-menu item.
constexpr int kLastBrowsingSlot = kScoreSlotReturnToMenu;
constexpr int kPauseAfterScoreMs = 1000;

Sound ScoreSound(int slot) {
    return g_scoreSounds[slot];
}

int PieceAt(int pos) {
    return pos >= 0 && pos < kSpeechLength ? g_speech[pos] : kSpeechEnd;
}

bool OnReturnItem() {
    return g_topTenIndex > g_bestLastIndex;
}

void LeaveToMenu() {
    g_tickEnabled = 0;
    ReturnToMenu();
}

// Speaks the browsed entry at once: its number follows within one tick, without the intro.
void SpeakTopTenEntry() {
    g_tickEnabled = 0;
    BuildScoreSpeech(kSpeechTopTenEntry);
    g_speechPos = 0;
    if (g_speech[0] == kScoreSlotReturnToMenu) {
        PlaySoundOnce(ScoreSound(kScoreSlotReturnToMenu), 0, 0);
    } else {
        g_tickEnabled = 1;
    }
}

void TopTenKeyDown(int key) {
    if (IsSoundPlaying(ScoreSound(kScoreSlotTopTenIntro))) {
        StopSound(ScoreSound(kScoreSlotTopTenIntro));
        g_topTenIndex = 0;
        SpeakTopTenEntry();
        return;
    }
    for (int slot = kScoreSlotZero; slot <= kLastBrowsingSlot; ++slot) {
        if (IsSoundPlaying(ScoreSound(slot))) StopSound(ScoreSound(slot));
    }
    switch (key) {
        case kKeyEnter:
            // On a score entry the tick, if on, goes on with the next piece.
            if (OnReturnItem()) LeaveToMenu();
            break;
        case kKeyEscape:
            LeaveToMenu();
            break;
        case kKeyUp:
            g_topTenIndex -= 1;
            if (g_topTenIndex < 0) g_topTenIndex = g_bestLastIndex + 1;
            SpeakTopTenEntry();
            break;
        case kKeyDown:
            g_topTenIndex += 1;
            if (g_topTenIndex > g_bestLastIndex + 1) g_topTenIndex = 0;
            SpeakTopTenEntry();
            break;
        default:
            SpeakTopTenEntry();
            break;
    }
}

}  // namespace

void SayScore(SpeechKind kind) {
    if (kind == kSpeechTopTenEntry) ReadBestScores();
    g_topTenIndex = 0;
    BuildScoreSpeech(kind);
    g_speechPos = 0;
    int intro = kind == kSpeechFinalScore ? kScoreSlotFinalScoreIntro : kScoreSlotTopTenIntro;
    PlaySoundOnce(ScoreSound(intro), 0, 0);
    g_tickEnabled = 1;
}

void AnnouncerTick() {
    if (IsSoundPlaying(ScoreSound(kScoreSlotFinalScoreIntro)) ||
        IsSoundPlaying(ScoreSound(kScoreSlotTopTenIntro))) {
        return;
    }
    int piece = PieceAt(g_speechPos);
    if (piece == kSpeechEnd) {
        g_tickEnabled = 0;
        return;
    }
    if (IsSoundPlaying(ScoreSound(piece))) return;
    g_speechPos += 1;
    piece = PieceAt(g_speechPos);
    if (piece != kSpeechEnd) {
        PlaySoundOnce(ScoreSound(piece), 0, 0);
        return;
    }
    // The last piece has ended: a second's pause, then the final score gives way to the menu.
    PlatformSleep(kPauseAfterScoreMs);
    if (g_mode == MODE_FINAL_SCORE) {
        g_mode = MODE_MENU;
        ReturnToMenu();
    }
}

void AnnouncerKeyDown(int key) {
    if (g_mode == MODE_FINAL_SCORE) {
        if (key == kKeyCtrl) {
            g_tickEnabled = 0;
            StopScoreSounds();
            ReturnToMenu();
        }
        return;
    }
    if (g_mode == MODE_TOP_TEN) TopTenKeyDown(key);
}

void StopScoreSounds() {
    StopBank(g_scoreSounds, 0, kScoreSoundCount - 1);
}
