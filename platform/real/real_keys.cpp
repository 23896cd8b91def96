#include "platform/real/real_keys.h"

#include <SDL.h>

#include "platform/message_loop.h"
#include "platform/real/real_trace.h"

namespace {

constexpr int kVkF4 = 115;
constexpr int kAboutCommand = 16;

struct ScancodeKey {
    SDL_Scancode scancode;
    int virtualKey;
};

// Keys known by where they sit: the punctuation keys as on a US layout, and every key whose
// meaning does not depend on the layout.
constexpr ScancodeKey kScancodeKeys[] = {
    {SDL_SCANCODE_1, '1'},          {SDL_SCANCODE_2, '2'},
    {SDL_SCANCODE_3, '3'},          {SDL_SCANCODE_4, '4'},
    {SDL_SCANCODE_5, '5'},          {SDL_SCANCODE_6, '6'},
    {SDL_SCANCODE_7, '7'},          {SDL_SCANCODE_8, '8'},
    {SDL_SCANCODE_9, '9'},          {SDL_SCANCODE_0, '0'},
    {SDL_SCANCODE_KP_0, 96},        {SDL_SCANCODE_KP_1, 97},
    {SDL_SCANCODE_KP_2, 98},        {SDL_SCANCODE_KP_3, 99},
    {SDL_SCANCODE_KP_4, 100},       {SDL_SCANCODE_KP_5, 101},
    {SDL_SCANCODE_KP_6, 102},       {SDL_SCANCODE_KP_7, 103},
    {SDL_SCANCODE_KP_8, 104},       {SDL_SCANCODE_KP_9, 105},
    {SDL_SCANCODE_RETURN, 13},      {SDL_SCANCODE_KP_ENTER, 13},
    {SDL_SCANCODE_LCTRL, 17},       {SDL_SCANCODE_RCTRL, 17},
    {SDL_SCANCODE_LSHIFT, 16},      {SDL_SCANCODE_RSHIFT, 16},
    {SDL_SCANCODE_ESCAPE, 27},      {SDL_SCANCODE_SPACE, 32},
    {SDL_SCANCODE_TAB, 9},          {SDL_SCANCODE_BACKSPACE, 8},
    {SDL_SCANCODE_LEFT, 37},        {SDL_SCANCODE_UP, 38},
    {SDL_SCANCODE_RIGHT, 39},       {SDL_SCANCODE_DOWN, 40},
    {SDL_SCANCODE_F1, 112},         {SDL_SCANCODE_F2, 113},
    {SDL_SCANCODE_F3, 114},         {SDL_SCANCODE_F4, 115},
    {SDL_SCANCODE_F5, 116},         {SDL_SCANCODE_F6, 117},
    {SDL_SCANCODE_F7, 118},         {SDL_SCANCODE_F8, 119},
    {SDL_SCANCODE_F9, 120},         {SDL_SCANCODE_F10, 121},
    {SDL_SCANCODE_F11, 122},        {SDL_SCANCODE_F12, 123},
    {SDL_SCANCODE_SEMICOLON, 186},  {SDL_SCANCODE_EQUALS, 187},
    {SDL_SCANCODE_COMMA, 188},      {SDL_SCANCODE_MINUS, 189},
    {SDL_SCANCODE_PERIOD, 190},     {SDL_SCANCODE_SLASH, 191},
    {SDL_SCANCODE_GRAVE, 192},      {SDL_SCANCODE_LEFTBRACKET, 219},
    {SDL_SCANCODE_BACKSLASH, 220},  {SDL_SCANCODE_RIGHTBRACKET, 221},
    {SDL_SCANCODE_APOSTROPHE, 222},
};

}  // namespace

int RealVirtualKey(int keycode, int scancode) {
    // Letters are the letters the layout produces, wherever their keys sit.
    if (keycode >= SDLK_a && keycode <= SDLK_z) return 'A' + (keycode - SDLK_a);
    for (const ScancodeKey& key : kScancodeKeys) {
        if (key.scancode == scancode) return key.virtualKey;
    }
    // A layout whose letter keys produce no Latin letter (Cyrillic, Greek) still types
    // letters, by position, as Windows does.
    bool producesNonLatinCharacter = keycode >= 0x80 && !(keycode & SDLK_SCANCODE_MASK);
    if (producesNonLatinCharacter && scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z) {
        return 'A' + (scancode - SDL_SCANCODE_A);
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
        if (virtualKey == 'A') LoopPostMessage(kMsgSysCommand, kAboutCommand);
        if (virtualKey == kVkF4) LoopPostClose();
        return;
    }
    int flags = (modifiers & KMOD_SHIFT) ? kMsgFlagShift : 0;
    LoopPostKey(down ? kMsgKeyDown : kMsgKeyUp, virtualKey, flags);
}
