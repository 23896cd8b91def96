#include "platform/real/real_keys.h"

#include <SDL.h>

#include "platform/key_codes.h"
#include "platform/message_loop.h"
#include "platform/real/real_trace.h"

namespace {

constexpr int kAboutCommand = 16;

struct ScancodeKey {
    SDL_Scancode scancode;
    int virtualKey;
};

// Keys known by where they sit: the punctuation keys as on a US layout, and every key whose
// meaning does not depend on the layout.
constexpr ScancodeKey kScancodeKeys[] = {
    {SDL_SCANCODE_1, kKey0 + 1},
    {SDL_SCANCODE_2, kKey0 + 2},
    {SDL_SCANCODE_3, kKey0 + 3},
    {SDL_SCANCODE_4, kKey0 + 4},
    {SDL_SCANCODE_5, kKey0 + 5},
    {SDL_SCANCODE_6, kKey0 + 6},
    {SDL_SCANCODE_7, kKey0 + 7},
    {SDL_SCANCODE_8, kKey0 + 8},
    {SDL_SCANCODE_9, kKey0 + 9},
    {SDL_SCANCODE_0, kKey0},
    {SDL_SCANCODE_KP_0, kKeyNumpad0},
    {SDL_SCANCODE_KP_1, kKeyNumpad0 + 1},
    {SDL_SCANCODE_KP_2, kKeyNumpad0 + 2},
    {SDL_SCANCODE_KP_3, kKeyNumpad0 + 3},
    {SDL_SCANCODE_KP_4, kKeyNumpad0 + 4},
    {SDL_SCANCODE_KP_5, kKeyNumpad0 + 5},
    {SDL_SCANCODE_KP_6, kKeyNumpad0 + 6},
    {SDL_SCANCODE_KP_7, kKeyNumpad0 + 7},
    {SDL_SCANCODE_KP_8, kKeyNumpad0 + 8},
    {SDL_SCANCODE_KP_9, kKeyNumpad0 + 9},
    {SDL_SCANCODE_RETURN, kKeyEnter},
    {SDL_SCANCODE_KP_ENTER, kKeyEnter},
    {SDL_SCANCODE_LCTRL, kKeyCtrl},
    {SDL_SCANCODE_RCTRL, kKeyCtrl},
    {SDL_SCANCODE_LSHIFT, kKeyShift},
    {SDL_SCANCODE_RSHIFT, kKeyShift},
    {SDL_SCANCODE_ESCAPE, kKeyEscape},
    {SDL_SCANCODE_SPACE, kKeySpace},
    {SDL_SCANCODE_TAB, kKeyTab},
    {SDL_SCANCODE_BACKSPACE, kKeyBackspace},
    {SDL_SCANCODE_LEFT, kKeyLeft},
    {SDL_SCANCODE_UP, kKeyUp},
    {SDL_SCANCODE_RIGHT, kKeyRight},
    {SDL_SCANCODE_DOWN, kKeyDown},
    {SDL_SCANCODE_F1, kKeyF1},
    {SDL_SCANCODE_F2, kKeyF1 + 1},
    {SDL_SCANCODE_F3, kKeyF1 + 2},
    {SDL_SCANCODE_F4, kKeyF1 + 3},
    {SDL_SCANCODE_F5, kKeyF1 + 4},
    {SDL_SCANCODE_F6, kKeyF1 + 5},
    {SDL_SCANCODE_F7, kKeyF1 + 6},
    {SDL_SCANCODE_F8, kKeyF1 + 7},
    {SDL_SCANCODE_F9, kKeyF1 + 8},
    {SDL_SCANCODE_F10, kKeyF1 + 9},
    {SDL_SCANCODE_F11, kKeyF1 + 10},
    {SDL_SCANCODE_F12, kKeyF1 + 11},
    {SDL_SCANCODE_SEMICOLON, kKeyOem1},
    {SDL_SCANCODE_EQUALS, kKeyOemPlus},
    {SDL_SCANCODE_COMMA, kKeyOemComma},
    {SDL_SCANCODE_MINUS, kKeyOemMinus},
    {SDL_SCANCODE_PERIOD, kKeyOemPeriod},
    {SDL_SCANCODE_SLASH, kKeyOem2},
    {SDL_SCANCODE_GRAVE, kKeyOem3},
    {SDL_SCANCODE_LEFTBRACKET, kKeyOem4},
    {SDL_SCANCODE_BACKSLASH, kKeyOem5},
    {SDL_SCANCODE_RIGHTBRACKET, kKeyOem6},
    {SDL_SCANCODE_APOSTROPHE, kKeyOem7},
};

}  // namespace

int RealVirtualKey(int keycode, int scancode) {
    // Letters are the letters the layout produces, wherever their keys sit.
    if (keycode >= SDLK_a && keycode <= SDLK_z) return kKeyA + (keycode - SDLK_a);
    for (const ScancodeKey& key : kScancodeKeys) {
        if (key.scancode == scancode) return key.virtualKey;
    }
    // A layout whose letter keys produce no Latin letter (Cyrillic, Greek) still types
    // letters, by position, as Windows does.
    bool producesNonLatinCharacter = keycode >= 0x80 && !(keycode & SDLK_SCANCODE_MASK);
    if (producesNonLatinCharacter && scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z) {
        return kKeyA + (scancode - SDL_SCANCODE_A);
    }
    return 0;
}

void RealPostKeyEvent(bool down, bool repeat, int keycode, int scancode, int modifiers) {
    int virtualKey = RealVirtualKey(keycode, scancode);
    if (virtualKey == 0) return;
    if (down) RealTraceNumber(repeat ? "key-repeat" : "key-down", virtualKey);
    if (modifiers & KMOD_ALT) {
        // A system key: only its commands count, and only on a fresh press, so that holding
        // Alt+A does not reopen the About box the moment it is closed.
        if (!down || repeat) return;
        if (virtualKey == kKeyA) LoopPostMessage(kMsgSysCommand, kAboutCommand);
        if (virtualKey == kKeyF4) LoopPostClose();
        return;
    }
    int flags = (modifiers & KMOD_SHIFT) ? kMsgFlagShift : 0;
    LoopPostKey(down ? kMsgKeyDown : kMsgKeyUp, virtualKey, flags);
}
