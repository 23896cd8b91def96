// Hands every key message of the window to the game.
#include "input/keyboard.h"

#include "game/dispatch.h"
#include "platform/platform.h"

void HandleKeyDown(int key) {
    if (KeyDownDispatch(key) == 0) PlatformPostClose();
}

void HandleKeyUp(int key) {
    KeyUpDispatch(key);
}
