// The keyboard rule for keys that type one of the game's characters, shared by the backends: what
// counts is the character the player typed, the way their layout types it (with Shift or AltGr
// where that layout needs them), not where its key sits. A backend hands in the key's own code
// and the character its layout made of the key press.
#pragma once

#include <cstdint>

// The code one of the game's 47 characters arrives as: a letter's or digit's key code, and for a
// symbol the code of the key that types it on a US layout, 1000 above it where that layout needs
// Shift (the colon is 1186). 0 for any other character.
int CharacterKeyCode(uint32_t character);

// The code a key-down reaches the game with, given the key's own code and the character it
// typed (0 for none): the character's code when it is one of the game's, otherwise the key's
// own code, whatever Shift or AltGr made it type. The keypad's keys, the answer keys (Enter, Space,
// Ctrl) and Escape keep their own codes.
int TypedKeyCode(int keyCode, uint32_t typedCharacter);

// The one character of a UTF-8 text, as a key event carries it; 0 when the text holds none, more
// than one (a name such as "Dead"), or is not UTF-8.
uint32_t OnlyCharacterOf(const char* text);
