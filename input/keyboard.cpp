// Hands every key message of the window to the game. The music level keys are taken here, in
// every mode, before the mode sees them.
#include "input/keyboard.h"

#include "game/dispatch.h"
#include "game/music_keys.h"
#include "platform/platform.h"

int g_windowHasKeyboard = 1;

void HandleKeyDown(int key) {
    if (!g_windowHasKeyboard) return;
    if (MusicKeyDown(key)) return;
    if (KeyDownDispatch(key) == 0) PlatformPostClose();
}

void HandleKeyUp(int key) {
    if (!g_windowHasKeyboard || IsMusicKey(key)) return;
    KeyUpDispatch(key);
}

void HandleKeyboardFocus(int hasKeyboard) {
    g_windowHasKeyboard = hasKeyboard ? 1 : 0;
    FocusDispatch(g_windowHasKeyboard);
}
