#include "platform/sdl/sdl_keys.h"

#include <SDL.h>

#include "platform/core/key_state.h"
#include "platform/core/typed_keys.h"
#include "platform/key_codes.h"

namespace {

// Keys known by where they sit: `count` keys in a row of SDL's scancodes from `first` have the
// codes from `key` on. The punctuation keys count as on a US layout; every other key here means
// the same on every layout.
struct ScancodeKeys {
    SDL_Scancode first;
    int key;
    int count = 1;
};

constexpr ScancodeKeys kScancodeKeys[] = {
    {SDL_SCANCODE_1, kKey0 + 1, 9},
    {SDL_SCANCODE_0, kKey0},
    {SDL_SCANCODE_KP_1, kKeyNumpad0 + 1, 9},
    {SDL_SCANCODE_KP_0, kKeyNumpad0},
    {SDL_SCANCODE_F1, kKeyF1, 12},
    {SDL_SCANCODE_F13, kKeyF1 + 12, 12},
    {SDL_SCANCODE_RETURN, kKeyEnter},
    {SDL_SCANCODE_KP_ENTER, kKeyEnter},
    {SDL_SCANCODE_LCTRL, kKeyCtrl},
    {SDL_SCANCODE_RCTRL, kKeyCtrl},
    {SDL_SCANCODE_LSHIFT, kKeyShift},
    {SDL_SCANCODE_RSHIFT, kKeyShift},
    {SDL_SCANCODE_LALT, kKeyAlt},
    {SDL_SCANCODE_RALT, kKeyAlt},
    {SDL_SCANCODE_ESCAPE, kKeyEscape},
    {SDL_SCANCODE_SPACE, kKeySpace},
    {SDL_SCANCODE_TAB, kKeyTab},
    {SDL_SCANCODE_BACKSPACE, kKeyBackspace},
    {SDL_SCANCODE_LEFT, kKeyLeft},
    {SDL_SCANCODE_UP, kKeyUp},
    {SDL_SCANCODE_RIGHT, kKeyRight},
    {SDL_SCANCODE_DOWN, kKeyDown},
    {SDL_SCANCODE_INSERT, kKeyInsert},
    {SDL_SCANCODE_DELETE, kKeyDelete},
    {SDL_SCANCODE_HOME, kKeyHome},
    {SDL_SCANCODE_END, kKeyEnd},
    {SDL_SCANCODE_PAGEUP, kKeyPageUp},
    {SDL_SCANCODE_PAGEDOWN, kKeyPageDown},
    {SDL_SCANCODE_CAPSLOCK, kKeyCapsLock},
    {SDL_SCANCODE_NUMLOCKCLEAR, kKeyNumLock},
    {SDL_SCANCODE_SCROLLLOCK, kKeyScrollLock},
    {SDL_SCANCODE_PAUSE, kKeyPause},
    {SDL_SCANCODE_PRINTSCREEN, kKeyPrintScreen},
    {SDL_SCANCODE_LGUI, kKeyLeftWindows},
    {SDL_SCANCODE_RGUI, kKeyRightWindows},
    {SDL_SCANCODE_APPLICATION, kKeyApplications},
    {SDL_SCANCODE_KP_MULTIPLY, kKeyMultiply},
    {SDL_SCANCODE_KP_PLUS, kKeyAdd},
    {SDL_SCANCODE_KP_COMMA, kKeySeparator},
    {SDL_SCANCODE_KP_MINUS, kKeySubtract},
    {SDL_SCANCODE_KP_PERIOD, kKeyDecimal},
    {SDL_SCANCODE_KP_DIVIDE, kKeyDivide},
    {SDL_SCANCODE_SEMICOLON, kKeyOem1},
    {SDL_SCANCODE_EQUALS, kKeyOemPlus},
    {SDL_SCANCODE_COMMA, kKeyOemComma},
    {SDL_SCANCODE_MINUS, kKeyOemMinus},
    {SDL_SCANCODE_PERIOD, kKeyOemPeriod},
    {SDL_SCANCODE_SLASH, kKeyOem2},
    {SDL_SCANCODE_GRAVE, kKeyOem3},
    {SDL_SCANCODE_LEFTBRACKET, kKeyOem4},
    {SDL_SCANCODE_BACKSLASH, kKeyOem5},
    {SDL_SCANCODE_NONUSHASH, kKeyOem5},  // the same key on an ISO keyboard
    {SDL_SCANCODE_RIGHTBRACKET, kKeyOem6},
    {SDL_SCANCODE_APOSTROPHE, kKeyOem7},
    {SDL_SCANCODE_NONUSBACKSLASH, kKeyOem102},
};

// Right Alt alone is AltGr for a key when it changes the character the key types. On a layout
// without AltGr it is an Alt key, and Alt leaves the character as the key types it.
bool TypedWithAltGr(int keycode, int modifiers, uint32_t typed) {
    if ((modifiers & KMOD_ALT) != KMOD_RALT || typed == 0) return false;
    uint32_t lowerCase = typed >= 'A' && typed <= 'Z' ? typed - 'A' + 'a' : typed;
    return lowerCase != static_cast<uint32_t>(keycode);
}

}  // namespace

int SdlVirtualKey(int keycode, int scancode) {
    // Letters are the letters the layout produces, wherever their keys sit.
    if (keycode >= SDLK_a && keycode <= SDLK_z) return kKeyA + (keycode - SDLK_a);
    for (const ScancodeKeys& keys : kScancodeKeys) {
        int offset = scancode - keys.first;
        if (offset >= 0 && offset < keys.count) return keys.key + offset;
    }
    // A layout whose letter keys produce no Latin letter (Cyrillic, Greek) still types
    // letters, by position, as Windows does.
    bool producesNonLatinCharacter = keycode >= 0x80 && !(keycode & SDLK_SCANCODE_MASK);
    if (producesNonLatinCharacter && scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z) {
        return kKeyA + (scancode - SDL_SCANCODE_A);
    }
    return kKeyUnknown;
}

void SdlPostKeyEvent(bool down, bool repeat, int keycode, int scancode, int modifiers,
                     const char* typedText) {
    uint32_t typed = down ? OnlyCharacterOf(typedText) : 0;
    // A key press that typed nothing (a dead key came before it, Ctrl is held) counts as the
    // character its key types by itself.
    bool keyTypesCharacter = !(keycode & SDLK_SCANCODE_MASK);
    if (down && typed == 0 && keyTypesCharacter) typed = static_cast<uint32_t>(keycode);
    KeyStatePost({.where = static_cast<uint32_t>(scancode),
                  .down = down,
                  .repeat = repeat,
                  .code = SdlVirtualKey(keycode, scancode),
                  .typed = typed,
                  .shift = (modifiers & KMOD_SHIFT) != 0,
                  .alt = (modifiers & KMOD_ALT) != 0,
                  .altGr = down && TypedWithAltGr(keycode, modifiers, OnlyCharacterOf(typedText))});
}
