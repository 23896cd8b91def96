// The Windows virtual-key codes that the game's modes answer to.
#pragma once

constexpr int kKeyEnter = 13;
constexpr int kKeyShift = 16;
constexpr int kKeyCtrl = 17;  // either Ctrl key
constexpr int kKeyEscape = 27;
constexpr int kKeySpace = 32;
constexpr int kKeyUp = 38;
constexpr int kKeyDown = 40;
constexpr int kKeyN = 78;
constexpr int kKeyY = 89;
