// The player's record of every character met (stats.dat): each outcome counted as it happens,
// the practice round's weighted draw and the characters missed most.
#include <algorithm>
#include <cstdlib>

#include "game/level.h"
#include "game/level_internal.h"
#include "storage/char_stats.h"

namespace {

// A draw's weight, in sixteenths: one for every character met, and up to sixteen more in
// proportion to how often it is missed, so one missed half the time comes nine times as often
// as one never missed.
constexpr long long kBaseWeight = 16;
constexpr long long kMissWeight = 256;

const CharacterStats* StatsOf(int entry) {
    auto found = g_charStats.find(CharacterOf(entry));
    return found == g_charStats.end() ? nullptr : &found->second;
}

long long Misses(const CharacterStats& stats) {
    return static_cast<long long>(stats.wrong) + stats.side + stats.missed;
}

bool Met(int entry) {
    const CharacterStats* stats = StatsOf(entry);
    return stats && stats->played > 0;
}

bool InPracticePool(int entry, bool metAny) {
    if (entry == kUnusedCharacter) return false;
    return metAny ? Met(entry) : entry < kStartPoolSize;
}

long long WeightOf(int entry) {
    const CharacterStats* stats = StatsOf(entry);
    if (!stats || stats->played <= 0) return kBaseWeight;
    const long long misses = std::min<long long>(Misses(*stats), stats->played);
    return kBaseWeight + kMissWeight * misses / stats->played;
}

}  // namespace

void RecordOutcome(Outcome outcome) {
    const char character = CharacterOf(g_charIndex);
    if (!character) return;
    CharacterStats& stats = g_charStats[character];
    Bump(stats.played);
    switch (outcome) {
        case kOutcomeRight:
            Bump(stats.right);
            break;
        case kOutcomeWrongSide:
            Bump(stats.side);
            break;
        case kOutcomeMissed:
            Bump(stats.missed);
            break;
        case kOutcomeOtherCharacter: {
            Bump(stats.wrong);
            const int typed = EntryOfKey(g_lastTypedKey);
            if (typed >= 0) Bump(stats.answeredAs[CharacterOf(typed)]);
            break;
        }
    }
}

int DrawPracticeCharacter() {
    bool metAny = false;
    for (int entry = 0; entry < kCharacterCount; ++entry) {
        metAny = metAny || (entry != kUnusedCharacter && Met(entry));
    }
    long long total = 0;
    for (int entry = 0; entry < kCharacterCount; ++entry) {
        if (InPracticePool(entry, metAny)) total += WeightOf(entry);
    }
    long long pick = rand() % total;
    for (int entry = 0; entry < kCharacterCount; ++entry) {
        if (!InPracticePool(entry, metAny)) continue;
        pick -= WeightOf(entry);
        if (pick < 0) return entry;
    }
    return 0;
}

int WeakestCharacters(int entries[3]) {
    int missed[kCharacterCount];
    int count = 0;
    for (int entry = 0; entry < kCharacterCount; ++entry) {
        const CharacterStats* stats = StatsOf(entry);
        if (entry != kUnusedCharacter && stats && stats->played > 0 && Misses(*stats) > 0) {
            missed[count++] = entry;
        }
    }
    // The highest share of misses first; of equal shares, the one missed more often.
    std::stable_sort(missed, missed + count, [](int a, int b) {
        const CharacterStats& x = *StatsOf(a);
        const CharacterStats& y = *StatsOf(b);
        const long long left = Misses(x) * y.played;
        const long long right = Misses(y) * x.played;
        return left != right ? left > right : Misses(x) > Misses(y);
    });
    count = std::min(count, 3);
    std::copy(missed, missed + count, entries);
    return count;
}
