// The key codes of the platform's key messages: Windows virtual-key codes on every backend, so
// that the game reads the same numbers wherever it runs. Every key of the keyboard reaches the
// game; one that has no code of its own arrives as kKeyUnknown.
#pragma once

constexpr int kKeyBackspace = 8;
constexpr int kKeyTab = 9;
constexpr int kKeyEnter = 13;  // either Enter key
constexpr int kKeyShift = 16;  // either Shift key
constexpr int kKeyCtrl = 17;   // either Ctrl key
constexpr int kKeyAlt = 18;
constexpr int kKeyPause = 19;
constexpr int kKeyCapsLock = 20;
constexpr int kKeyEscape = 27;
constexpr int kKeySpace = 32;
constexpr int kKeyPageUp = 33;
constexpr int kKeyPageDown = 34;
constexpr int kKeyEnd = 35;
constexpr int kKeyHome = 36;
constexpr int kKeyLeft = 37;
constexpr int kKeyUp = 38;
constexpr int kKeyRight = 39;
constexpr int kKeyDown = 40;
constexpr int kKeyPrintScreen = 44;
constexpr int kKeyInsert = 45;
constexpr int kKeyDelete = 46;

// The digits of the main keyboard row are '0' to '9', the letters 'A' to 'Z'.
constexpr int kKey0 = '0';
constexpr int kKey9 = '9';
constexpr int kKeyA = 'A';
constexpr int kKeyB = 'B';
constexpr int kKeyN = 'N';
constexpr int kKeyY = 'Y';
constexpr int kKeyZ = 'Z';

constexpr int kKeyLeftWindows = 91;
constexpr int kKeyRightWindows = 92;
constexpr int kKeyApplications = 93;
constexpr int kKeyNumpad0 = 96;  // to kKeyNumpad0 + 9 for the keypad's 9
constexpr int kKeyMultiply = 106;
constexpr int kKeyAdd = 107;
constexpr int kKeySeparator = 108;
constexpr int kKeySubtract = 109;
constexpr int kKeyDecimal = 110;
constexpr int kKeyDivide = 111;
constexpr int kKeyF1 = 112;  // to kKeyF1 + 23 for F24
constexpr int kKeyF4 = 115;
constexpr int kKeyNumLock = 144;
constexpr int kKeyScrollLock = 145;

// The punctuation keys, named by what they type on a US layout.
constexpr int kKeyOem1 = 186;       // ; and :
constexpr int kKeyOemPlus = 187;    // = and +
constexpr int kKeyOemComma = 188;   // , and <
constexpr int kKeyOemMinus = 189;   // - and _
constexpr int kKeyOemPeriod = 190;  // . and >
constexpr int kKeyOem2 = 191;       // / and ?
constexpr int kKeyOem3 = 192;       // ` and ~
constexpr int kKeyOem4 = 219;       // [ and {
constexpr int kKeyOem5 = 220;       // \ and |
constexpr int kKeyOem6 = 221;       // ] and }
constexpr int kKeyOem7 = 222;       // ' and "
constexpr int kKeyOem102 = 226;     // the key beside the left Shift of an ISO keyboard

// A key that has no code of its own; no mode gives it a meaning.
constexpr int kKeyUnknown = 255;

// The four symbols that a US layout types with Shift have 1000 + the code of their key.
constexpr int kShiftedOnUs = 1000;
constexpr int kKeyColon = kShiftedOnUs + kKeyOem1;
constexpr int kKeyPlus = kShiftedOnUs + kKeyOemPlus;
constexpr int kKeyLess = kShiftedOnUs + kKeyOemComma;
constexpr int kKeyGreater = kShiftedOnUs + kKeyOemPeriod;
