// The key state machine every backend shares. A backend turns each of its system's key events
// into a KeyEvent (which key, its own code, the character the layout typed, the modifiers as
// that system knows them); this decides what the game gets:
// - a key pressed with Alt held (AltGr is not Alt) is a system key and never reaches the game:
//   Alt+A asks for the About box and Alt+F4 closes the window, each on a fresh press only, so
//   that holding them does not reopen the box the moment it is closed;
// - any other key-down arrives as the character it typed when that is one of the game's
//   (platform/core/typed_keys.h), otherwise as its own code; auto-repeats arrive like fresh presses;
// - a key-up carries the code its key-down went with, whatever was held meanwhile; the key-up
//   of a system key (Alt still held) is not the game's.
#pragma once

#include <cstdint>

struct KeyEvent {
    uint32_t where = 0;  // the physical key in the backend's own numbering, the same down and up
    bool down = false;
    bool repeat = false;  // an auto-repeated key-down
    int code = 0;         // the key's own code (platform/key_codes.h), kKeyUnknown when it has none
    uint32_t typed = 0;   // the character the layout typed with the key-down, 0 for none
    bool shift = false;
    bool alt = false;    // an Alt key is held
    bool altGr = false;  // the key was typed with AltGr, which counts as no Alt
};

// Posts to the window's loop what `event` means. False when the game leaves the event to the
// system (a system key other than its commands, its key-up).
bool KeyStatePost(const KeyEvent& event);

// Forgets every held key (a test's fresh start).
void KeyStateReset();
