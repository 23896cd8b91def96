// Keyboard translation of the browser backend: a KeyboardEvent's `code` (where the key sits),
// its `key` (what the layout typed) and its modifier state become the key messages the game
// reads. Plain strings, so that the rule is tested without a browser.
#pragma once

enum { kWebShift = 1, kWebCtrl = 2, kWebAlt = 4, kWebAltGraph = 8 };

// The Windows virtual-key code of a key by its KeyboardEvent.code; kKeyUnknown when it has none.
int WebVirtualKey(const char* code);

// Posts to the window what one KeyboardEvent means, by the rule every backend shares
// (platform/core/key_state.h). `modifiers` holds kWeb* bits.
void WebPostKeyEvent(bool down, bool repeat, const char* code, const char* key, int modifiers);
