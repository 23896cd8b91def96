// Keyboard translation of the SDL backend: SDL key events become the Windows virtual-key
// messages the game reads. Plain ints here, so that tests can name keys by SDL's constants
// without the window.
#pragma once

// The Windows virtual-key code of a key, given its SDL keycode (what the layout produces) and
// scancode (where it sits); kKeyUnknown for a key that has none.
int SdlVirtualKey(int keycode, int scancode);

// Posts to the window what one SDL key event means, by the rule every backend shares
// (platform/core/key_state.h). Every key reaches the game, with its code or as kKeyUnknown;
// `typedText` is the UTF-8 text of the key press, null for none. Right Alt counts as AltGr for a
// key whose character it changes. `modifiers` is SDL's modifier state.
void SdlPostKeyEvent(bool down, bool repeat, int keycode, int scancode, int modifiers,
                     const char* typedText = nullptr);
