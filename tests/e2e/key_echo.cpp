// The keys as the game receives them from the SDL backend, for the keyboard layout test: a
// window whose handler writes each key-down to standard output as "down <code> <entry> <file>",
// where entry is the entry of the game's character table that the code answers (-1 for none) and
// file the sound that speaks it. It writes "shown" once the window is up; closing the window ends
// it. With --characters it writes each character the game speaks as "<character> <file>" instead.
#include <cstdio>
#include <cstring>

#include "audio/bank_slots.h"
#include "audio/banks.h"
#include "game/level.h"
#include "game/level_internal.h"
#include "platform/platform.h"

namespace {

int EntryAnsweredBy(int code) {
    for (int entry = 0; entry < kCharacterCount; ++entry) {
        if (entry != kUnusedCharacter && g_characters[entry].keyCode == code) return entry;
    }
    return -1;
}

void Say(const char* line, int code = 0) {
    if (code) {
        const int entry = EntryAnsweredBy(code);
        std::printf("%s %d %d %s\n", line, code, entry,
                    entry < 0 ? "-" : kLevelSoundFiles[g_characters[entry].soundSlot]);
    } else {
        std::printf("%s\n", line);
    }
    std::fflush(stdout);
}

void KeyWindow(const PlatformMessage& msg) {
    static bool shown = false;
    switch (msg.type) {
        case kMsgPaint:
            if (!shown) Say("shown");
            shown = true;
            break;
        case kMsgKeyDown:
            Say("down", msg.wParam);
            break;
        case kMsgClose:
            PlatformDestroyWindow();
            break;
        default:
            break;
    }
}

}  // namespace

void SayCharacters() {
    for (int n = 0; n < 26; ++n) std::printf("%c %s\n", 'A' + n, kLevelSoundFiles[LetterSlot(n)]);
    for (int n = 0; n < 10; ++n) std::printf("%c %s\n", '0' + n, kLevelSoundFiles[DigitSlot(n)]);
    for (int n = 0; n < kGameSymbolCount; ++n) {
        std::printf("%c %s\n", kGameSymbols[n].character, kLevelSoundFiles[SymbolSlot(n)]);
    }
}

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--characters") == 0) {
        SayCharacters();
        return 0;
    }
    PlatformSelectReal();
    BuildCharacterTable();
    PlatformRunWindow("Tapdash keys", 160, 60, KeyWindow);
    return 0;
}
