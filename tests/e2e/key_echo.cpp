// The keys as the game receives them from the SDL backend, for the keyboard layout test: a
// window whose handler writes each key-down to standard output as "down <code> <entry>", where
// entry is the entry of the game's character table that the code answers (-1 for none). It writes
// "shown" once the window is up; closing the window ends it.
#include <cstdio>

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
        std::printf("%s %d %d\n", line, code, EntryAnsweredBy(code));
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

int main() {
    PlatformSelectReal();
    BuildCharacterTable();
    PlatformRunWindow("Tapdash keys", 160, 60, KeyWindow);
    return 0;
}
