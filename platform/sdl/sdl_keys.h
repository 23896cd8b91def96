// Keyboard translation of the SDL backend: SDL key events become the Windows virtual-key
// messages the game reads. Plain ints here, so that tests can name keys by SDL's constants
// without the window.
#pragma once

// The Windows virtual-key code of a key, given its SDL keycode (what the layout produces) and
// scancode (where it sits); kKeyUnknown for a key that has none.
int SdlVirtualKey(int keycode, int scancode);

// Posts to the window what one SDL key event means. Every key reaches the game, with its code or
// as kKeyUnknown; a key-down that typed one of the game's characters (`typedText`, the UTF-8 text
// of the key press, null for none) arrives as that character's code, however the layout types
// it (platform/core/typed_keys.h). A key pressed with Alt held is a system key and never reaches
// the game: Alt+A asks for the About box, Alt+F4 closes the window. AltGr is not Alt. Auto-repeated
// key-downs are posted like fresh ones, and a key-up like its key-down. `modifiers` is SDL's
// modifier state.
void SdlPostKeyEvent(bool down, bool repeat, int keycode, int scancode, int modifiers,
                     const char* typedText = nullptr);
