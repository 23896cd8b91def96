// The SDL keyboard: which Windows key code each physical key gives the game, and which key
// presses never reach it.
#include "platform/sdl/sdl_keys.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <vector>

#include "game/state.h"
#include "platform/core/message_loop.h"
#include "platform/key_codes.h"
#include "tests/game/level_play.h"

namespace {

struct KeyCase {
    const char* name;
    int keycode;
    int scancode;
    int virtualKey;
};

const KeyCase kKeyList[] = {
    {"0", SDLK_0, SDL_SCANCODE_0, kKey0},
    {"1", SDLK_1, SDL_SCANCODE_1, kKey0 + 1},
    {"2", SDLK_2, SDL_SCANCODE_2, kKey0 + 2},
    {"3", SDLK_3, SDL_SCANCODE_3, kKey0 + 3},
    {"4", SDLK_4, SDL_SCANCODE_4, kKey0 + 4},
    {"5", SDLK_5, SDL_SCANCODE_5, kKey0 + 5},
    {"6", SDLK_6, SDL_SCANCODE_6, kKey0 + 6},
    {"7", SDLK_7, SDL_SCANCODE_7, kKey0 + 7},
    {"8", SDLK_8, SDL_SCANCODE_8, kKey0 + 8},
    {"9", SDLK_9, SDL_SCANCODE_9, kKey0 + 9},
    {"keypad 0", SDLK_KP_0, SDL_SCANCODE_KP_0, kKeyNumpad0},
    {"keypad 1", SDLK_KP_1, SDL_SCANCODE_KP_1, kKeyNumpad0 + 1},
    {"keypad 2", SDLK_KP_2, SDL_SCANCODE_KP_2, kKeyNumpad0 + 2},
    {"keypad 3", SDLK_KP_3, SDL_SCANCODE_KP_3, kKeyNumpad0 + 3},
    {"keypad 4", SDLK_KP_4, SDL_SCANCODE_KP_4, kKeyNumpad0 + 4},
    {"keypad 5", SDLK_KP_5, SDL_SCANCODE_KP_5, kKeyNumpad0 + 5},
    {"keypad 6", SDLK_KP_6, SDL_SCANCODE_KP_6, kKeyNumpad0 + 6},
    {"keypad 7", SDLK_KP_7, SDL_SCANCODE_KP_7, kKeyNumpad0 + 7},
    {"keypad 8", SDLK_KP_8, SDL_SCANCODE_KP_8, kKeyNumpad0 + 8},
    {"keypad 9", SDLK_KP_9, SDL_SCANCODE_KP_9, kKeyNumpad0 + 9},
    {"Enter", SDLK_RETURN, SDL_SCANCODE_RETURN, kKeyEnter},
    {"keypad Enter", SDLK_KP_ENTER, SDL_SCANCODE_KP_ENTER, kKeyEnter},
    {"left Ctrl", SDLK_LCTRL, SDL_SCANCODE_LCTRL, kKeyCtrl},
    {"right Ctrl", SDLK_RCTRL, SDL_SCANCODE_RCTRL, kKeyCtrl},
    {"left Shift", SDLK_LSHIFT, SDL_SCANCODE_LSHIFT, kKeyShift},
    {"right Shift", SDLK_RSHIFT, SDL_SCANCODE_RSHIFT, kKeyShift},
    {"Esc", SDLK_ESCAPE, SDL_SCANCODE_ESCAPE, kKeyEscape},
    {"Space", SDLK_SPACE, SDL_SCANCODE_SPACE, kKeySpace},
    {"Tab", SDLK_TAB, SDL_SCANCODE_TAB, kKeyTab},
    {"Backspace", SDLK_BACKSPACE, SDL_SCANCODE_BACKSPACE, kKeyBackspace},
    {"Left", SDLK_LEFT, SDL_SCANCODE_LEFT, kKeyLeft},
    {"Up", SDLK_UP, SDL_SCANCODE_UP, kKeyUp},
    {"Right", SDLK_RIGHT, SDL_SCANCODE_RIGHT, kKeyRight},
    {"Down", SDLK_DOWN, SDL_SCANCODE_DOWN, kKeyDown},
    {"F1", SDLK_F1, SDL_SCANCODE_F1, kKeyF1},
    {"F2", SDLK_F2, SDL_SCANCODE_F2, kKeyF1 + 1},
    {"F3", SDLK_F3, SDL_SCANCODE_F3, kKeyF1 + 2},
    {"F4", SDLK_F4, SDL_SCANCODE_F4, kKeyF1 + 3},
    {"F5", SDLK_F5, SDL_SCANCODE_F5, kKeyF1 + 4},
    {"F6", SDLK_F6, SDL_SCANCODE_F6, kKeyF1 + 5},
    {"F7", SDLK_F7, SDL_SCANCODE_F7, kKeyF1 + 6},
    {"F8", SDLK_F8, SDL_SCANCODE_F8, kKeyF1 + 7},
    {"F9", SDLK_F9, SDL_SCANCODE_F9, kKeyF1 + 8},
    {"F10", SDLK_F10, SDL_SCANCODE_F10, kKeyF1 + 9},
    {"F11", SDLK_F11, SDL_SCANCODE_F11, kKeyF1 + 10},
    {"F12", SDLK_F12, SDL_SCANCODE_F12, kKeyF1 + 11},
    {";", SDLK_SEMICOLON, SDL_SCANCODE_SEMICOLON, kKeyOem1},
    {"=", SDLK_EQUALS, SDL_SCANCODE_EQUALS, kKeyOemPlus},
    {",", SDLK_COMMA, SDL_SCANCODE_COMMA, kKeyOemComma},
    {"-", SDLK_MINUS, SDL_SCANCODE_MINUS, kKeyOemMinus},
    {".", SDLK_PERIOD, SDL_SCANCODE_PERIOD, kKeyOemPeriod},
    {"/", SDLK_SLASH, SDL_SCANCODE_SLASH, kKeyOem2},
    {"`", SDLK_BACKQUOTE, SDL_SCANCODE_GRAVE, kKeyOem3},
    {"[", SDLK_LEFTBRACKET, SDL_SCANCODE_LEFTBRACKET, kKeyOem4},
    {"\\", SDLK_BACKSLASH, SDL_SCANCODE_BACKSLASH, kKeyOem5},
    {"]", SDLK_RIGHTBRACKET, SDL_SCANCODE_RIGHTBRACKET, kKeyOem6},
    {"'", SDLK_QUOTE, SDL_SCANCODE_APOSTROPHE, kKeyOem7},
    {"Insert", SDLK_INSERT, SDL_SCANCODE_INSERT, kKeyInsert},
    {"Delete", SDLK_DELETE, SDL_SCANCODE_DELETE, kKeyDelete},
    {"Home", SDLK_HOME, SDL_SCANCODE_HOME, kKeyHome},
    {"End", SDLK_END, SDL_SCANCODE_END, kKeyEnd},
    {"Page Up", SDLK_PAGEUP, SDL_SCANCODE_PAGEUP, kKeyPageUp},
    {"Page Down", SDLK_PAGEDOWN, SDL_SCANCODE_PAGEDOWN, kKeyPageDown},
    {"Caps Lock", SDLK_CAPSLOCK, SDL_SCANCODE_CAPSLOCK, kKeyCapsLock},
    {"Num Lock", SDLK_NUMLOCKCLEAR, SDL_SCANCODE_NUMLOCKCLEAR, kKeyNumLock},
    {"Scroll Lock", SDLK_SCROLLLOCK, SDL_SCANCODE_SCROLLLOCK, kKeyScrollLock},
    {"Pause", SDLK_PAUSE, SDL_SCANCODE_PAUSE, kKeyPause},
    {"Print Screen", SDLK_PRINTSCREEN, SDL_SCANCODE_PRINTSCREEN, kKeyPrintScreen},
    {"left Windows", SDLK_LGUI, SDL_SCANCODE_LGUI, kKeyLeftWindows},
    {"right Windows", SDLK_RGUI, SDL_SCANCODE_RGUI, kKeyRightWindows},
    {"Menu", SDLK_APPLICATION, SDL_SCANCODE_APPLICATION, kKeyApplications},
    {"left Alt", SDLK_LALT, SDL_SCANCODE_LALT, kKeyAlt},
    {"right Alt", SDLK_RALT, SDL_SCANCODE_RALT, kKeyAlt},
    {"keypad *", SDLK_KP_MULTIPLY, SDL_SCANCODE_KP_MULTIPLY, kKeyMultiply},
    {"keypad +", SDLK_KP_PLUS, SDL_SCANCODE_KP_PLUS, kKeyAdd},
    {"keypad separator", SDLK_KP_COMMA, SDL_SCANCODE_KP_COMMA, kKeySeparator},
    {"keypad -", SDLK_KP_MINUS, SDL_SCANCODE_KP_MINUS, kKeySubtract},
    {"keypad .", SDLK_KP_PERIOD, SDL_SCANCODE_KP_PERIOD, kKeyDecimal},
    {"keypad /", SDLK_KP_DIVIDE, SDL_SCANCODE_KP_DIVIDE, kKeyDivide},
    {"ISO key beside left Shift", SDLK_LESS, SDL_SCANCODE_NONUSBACKSLASH, kKeyOem102},
    {"ISO key beside Enter", SDLK_HASH, SDL_SCANCODE_NONUSHASH, kKeyOem5},
    {"F13", SDLK_F13, SDL_SCANCODE_F13, kKeyF1 + 12},
    {"F24", SDLK_F24, SDL_SCANCODE_F24, kKeyF1 + 23},
};

std::vector<PlatformMessage> s_delivered;

void Record(const PlatformMessage& msg) {
    if (msg.type != kMsgDestroy) s_delivered.push_back(msg);
}

uint64_t ClockAtZero() {
    return 0;
}
void NothingToWaitFor(uint64_t) {}
void NothingArrives() {}

// A window whose loop hands out whatever the keyboard posted, as the real loop would.
void OpenWindow() {
    s_delivered.clear();
    LoopBegin(Record);
}

std::vector<PlatformMessage> DeliverPending() {
    LoopRun(LoopBackend{ClockAtZero, NothingToWaitFor, NothingArrives}, 0);
    LoopDestroyWindow();
    return s_delivered;
}

void Press(int keycode, int scancode, int modifiers = KMOD_NONE) {
    SdlPostKeyEvent(true, false, keycode, scancode, modifiers);
}
void Repeat(int keycode, int scancode, int modifiers = KMOD_NONE) {
    SdlPostKeyEvent(true, true, keycode, scancode, modifiers);
}
void PressTyping(int keycode, int scancode, int modifiers, const char* text) {
    SdlPostKeyEvent(true, false, keycode, scancode, modifiers, text);
}
void Release(int keycode, int scancode, int modifiers = KMOD_NONE) {
    SdlPostKeyEvent(false, false, keycode, scancode, modifiers);
}

}  // namespace

TEST(SdlKeys, EveryKeyTheGameKnowsArrivesWithItsWindowsCode) {
    for (const KeyCase& key : kKeyList) {
        EXPECT_EQ(SdlVirtualKey(key.keycode, key.scancode), key.virtualKey) << key.name;
    }
    for (int letter = 0; letter < 26; ++letter) {
        EXPECT_EQ(SdlVirtualKey(SDLK_a + letter, SDL_SCANCODE_A + letter), kKeyA + letter)
            << char(kKeyA + letter);
    }
}

TEST(SdlKeys, AKeysOwnCodeFollowsTheLayoutForLettersAndThePositionForTheRest) {
    // On a French layout the key left of Z types A, and the key right of L types M.
    EXPECT_EQ(SdlVirtualKey(SDLK_a, SDL_SCANCODE_Q), kKeyA);
    EXPECT_EQ(SdlVirtualKey(SDLK_m, SDL_SCANCODE_SEMICOLON), 'M');
    // The digit row gives digits even where the layout puts symbols on it.
    EXPECT_EQ(SdlVirtualKey('&', SDL_SCANCODE_1), kKey0 + 1);
    // A German layout's key right of L types a letter of its own: still the US ; key.
    EXPECT_EQ(SdlVirtualKey(0xF6, SDL_SCANCODE_SEMICOLON), kKeyOem1);
    // A Cyrillic layout still types letters, by position.
    EXPECT_EQ(SdlVirtualKey(0x0444, SDL_SCANCODE_A), kKeyA);
}

TEST(SdlKeys, EveryOtherKeyReachesTheGameToo) {
    // A key with no code of its own still counts as typed.
    EXPECT_EQ(SdlVirtualKey(SDLK_MUTE, SDL_SCANCODE_MUTE), kKeyUnknown);
    EXPECT_EQ(SdlVirtualKey(SDLK_UNKNOWN, SDL_SCANCODE_UNKNOWN), kKeyUnknown);

    OpenWindow();
    Press(SDLK_CAPSLOCK, SDL_SCANCODE_CAPSLOCK);
    Release(SDLK_CAPSLOCK, SDL_SCANCODE_CAPSLOCK);
    Press(SDLK_MUTE, SDL_SCANCODE_MUTE);
    // Alt itself is a system key.
    Press(SDLK_LALT, SDL_SCANCODE_LALT, KMOD_LALT);
    std::vector<PlatformMessage> messages = DeliverPending();
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[0].type, kMsgKeyDown);
    EXPECT_EQ(messages[0].wParam, kKeyCapsLock);
    EXPECT_EQ(messages[1].type, kMsgKeyUp);
    EXPECT_EQ(messages[1].wParam, kKeyCapsLock);
    EXPECT_EQ(messages[2].wParam, kKeyUnknown);
}

TEST(SdlKeys, HoldingAKeyRepeatsItsPressAndReleasesItOnce) {
    OpenWindow();
    Press(SDLK_b, SDL_SCANCODE_B);
    Repeat(SDLK_b, SDL_SCANCODE_B);
    Repeat(SDLK_b, SDL_SCANCODE_B);
    Release(SDLK_b, SDL_SCANCODE_B);
    std::vector<PlatformMessage> messages = DeliverPending();
    ASSERT_EQ(messages.size(), 4u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(messages[i].type, kMsgKeyDown);
        EXPECT_EQ(messages[i].wParam, kKeyB);
    }
    EXPECT_EQ(messages[3].type, kMsgKeyUp);
    EXPECT_EQ(messages[3].wParam, kKeyB);
}

TEST(SdlKeys, AltCombinationsAreSystemKeysNotGameKeys) {
    OpenWindow();
    Press(SDLK_LALT, SDL_SCANCODE_LALT, KMOD_LALT);
    Press(SDLK_b, SDL_SCANCODE_B, KMOD_LALT);
    Release(SDLK_b, SDL_SCANCODE_B, KMOD_LALT);
    Press(SDLK_RETURN, SDL_SCANCODE_RETURN, KMOD_RALT);
    // Alt+A opens the About box, once however long it is held.
    Press(SDLK_a, SDL_SCANCODE_A, KMOD_LALT);
    Repeat(SDLK_a, SDL_SCANCODE_A, KMOD_LALT);
    Release(SDLK_a, SDL_SCANCODE_A, KMOD_LALT);
    // Alt+F4 closes the window.
    Press(SDLK_F4, SDL_SCANCODE_F4, KMOD_LALT);
    std::vector<PlatformMessage> messages = DeliverPending();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].type, kMsgSysCommand);
    EXPECT_EQ(messages[0].wParam, 16);
    EXPECT_EQ(messages[1].type, kMsgClose);
}

TEST(SdlKeys, ShiftHeldAtThePressTravelsWithTheKey) {
    OpenWindow();
    Press(SDLK_LSHIFT, SDL_SCANCODE_LSHIFT, KMOD_LSHIFT);
    Press(SDLK_SLASH, SDL_SCANCODE_SLASH, KMOD_LSHIFT);
    Release(SDLK_LSHIFT, SDL_SCANCODE_LSHIFT);
    Press(SDLK_SLASH, SDL_SCANCODE_SLASH);
    std::vector<PlatformMessage> messages = DeliverPending();
    ASSERT_EQ(messages.size(), 4u);
    EXPECT_EQ(messages[1].wParam, kKeyOem2);
    EXPECT_EQ(messages[1].flags & kMsgFlagShift, kMsgFlagShift);
    EXPECT_EQ(messages[3].wParam, kKeyOem2);
    EXPECT_EQ(messages[3].flags & kMsgFlagShift, 0);
}

// A key press as SDL reports it on some layout: the key's symbol and place, the modifiers held,
// the text it typed, and the code the game must get.
struct TypedCase {
    const char* name;
    int keycode;
    int scancode;
    int modifiers;
    const char* text;
    int expected;
};

const TypedCase kTypedCases[] = {
    // US: the game's codes as they always were; Shift with a key that types none of the game's
    // characters counts as the key.
    {"US ;", SDLK_SEMICOLON, SDL_SCANCODE_SEMICOLON, KMOD_NONE, ";", kKeyOem1},
    {"US :", SDLK_SEMICOLON, SDL_SCANCODE_SEMICOLON, KMOD_LSHIFT, ":", kKeyColon},
    {"US +", SDLK_EQUALS, SDL_SCANCODE_EQUALS, KMOD_LSHIFT, "+", kKeyPlus},
    {"US <", SDLK_COMMA, SDL_SCANCODE_COMMA, KMOD_RSHIFT, "<", kKeyLess},
    {"US >", SDLK_PERIOD, SDL_SCANCODE_PERIOD, KMOD_LSHIFT, ">", kKeyGreater},
    {"US Shift+A", SDLK_a, SDL_SCANCODE_A, KMOD_LSHIFT, "A", kKeyA},
    {"US !", SDLK_1, SDL_SCANCODE_1, KMOD_LSHIFT, "!", kKey0 + 1},
    {"US ?", SDLK_SLASH, SDL_SCANCODE_SLASH, KMOD_LSHIFT, "?", kKeyOem2},
    {"US keypad 1", SDLK_KP_1, SDL_SCANCODE_KP_1, KMOD_NUM, "1", kKeyNumpad0 + 1},
    {"US keypad +", SDLK_KP_PLUS, SDL_SCANCODE_KP_PLUS, KMOD_NONE, "+", kKeyAdd},
    // French (AZERTY): digits with Shift, the symbols where that layout has them.
    {"French ,", SDLK_COMMA, SDL_SCANCODE_M, KMOD_NONE, ",", kKeyOemComma},
    {"French ;", SDLK_SEMICOLON, SDL_SCANCODE_COMMA, KMOD_NONE, ";", kKeyOem1},
    {"French :", SDLK_COLON, SDL_SCANCODE_PERIOD, KMOD_NONE, ":", kKeyColon},
    {"French /", SDLK_COLON, SDL_SCANCODE_PERIOD, KMOD_LSHIFT, "/", kKeyOem2},
    {"French .", SDLK_SEMICOLON, SDL_SCANCODE_COMMA, KMOD_LSHIFT, ".", kKeyOemPeriod},
    {"French 1", SDLK_1, SDL_SCANCODE_1, KMOD_LSHIFT, "1", kKey0 + 1},
    {"French &", SDLK_1, SDL_SCANCODE_1, KMOD_NONE, "&", kKey0 + 1},
    {"French -", SDLK_6, SDL_SCANCODE_6, KMOD_NONE, "-", kKeyOemMinus},
    {"French AltGr \\", SDLK_8, SDL_SCANCODE_8, KMOD_RALT, "\\", kKeyOem5},
    {"French A", SDLK_a, SDL_SCANCODE_Q, KMOD_NONE, "a", kKeyA},
    // A dead key before it: the key typed nothing, and counts as what it types by itself.
    {"French : after a dead key", SDLK_COLON, SDL_SCANCODE_PERIOD, KMOD_NONE, "", kKeyColon},
    // German: the slash with Shift, the backslash with AltGr.
    {"German /", SDLK_7, SDL_SCANCODE_7, KMOD_LSHIFT, "/", kKeyOem2},
    {"German \\", 0xDF, SDL_SCANCODE_MINUS, KMOD_RALT, "\\", kKeyOem5},
    {"German :", SDLK_PERIOD, SDL_SCANCODE_PERIOD, KMOD_LSHIFT, ":", kKeyColon},
    {"German <", SDLK_LESS, SDL_SCANCODE_NONUSBACKSLASH, KMOD_NONE, "<", kKeyLess},
    {"German >", SDLK_LESS, SDL_SCANCODE_NONUSBACKSLASH, KMOD_LSHIFT, ">", kKeyGreater},
    {"German +", SDLK_PLUS, SDL_SCANCODE_RIGHTBRACKET, KMOD_NONE, "+", kKeyPlus},
    {"German -", SDLK_MINUS, SDL_SCANCODE_SLASH, KMOD_NONE, "-", kKeyOemMinus},
    {"German Z", SDLK_z, SDL_SCANCODE_Y, KMOD_NONE, "z", kKeyZ},
    {"German =", SDLK_0, SDL_SCANCODE_0, KMOD_LSHIFT, "=", kKey0},
    // AltGr with a key that types none of the game's characters counts as the key.
    {"German @", SDLK_q, SDL_SCANCODE_Q, KMOD_RALT, "@", kKeyA + ('Q' - 'A')},
    // UK: the backslash on the ISO key, the double quote over the 2.
    {"UK \\", SDLK_BACKSLASH, SDL_SCANCODE_NONUSBACKSLASH, KMOD_NONE, "\\", kKeyOem5},
    {"UK \"", SDLK_2, SDL_SCANCODE_2, KMOD_LSHIFT, "\"", kKey0 + 2},
};

TEST(SdlKeys, TheCharacterTheLayoutTypedIsWhatCounts) {
    for (const TypedCase& key : kTypedCases) {
        OpenWindow();
        PressTyping(key.keycode, key.scancode, key.modifiers, key.text);
        Release(key.keycode, key.scancode, key.modifiers);
        std::vector<PlatformMessage> messages = DeliverPending();
        ASSERT_EQ(messages.size(), 2u) << key.name;
        EXPECT_EQ(messages[0].type, kMsgKeyDown) << key.name;
        EXPECT_EQ(messages[0].wParam, key.expected) << key.name;
        // The key-up goes with the key-down, with the same code.
        EXPECT_EQ(messages[1].type, kMsgKeyUp) << key.name;
        EXPECT_EQ(messages[1].wParam, key.expected) << key.name;
    }
}

TEST(SdlKeys, AltGrIsNotAlt) {
    OpenWindow();
    // On a US layout right Alt is an Alt key: right Alt+A is the About box.
    PressTyping(SDLK_RALT, SDL_SCANCODE_RALT, KMOD_RALT, "");
    PressTyping(SDLK_a, SDL_SCANCODE_A, KMOD_RALT, "a");
    Release(SDLK_a, SDL_SCANCODE_A, KMOD_RALT);
    // Left Alt is always Alt, whatever the key types.
    PressTyping(SDLK_q, SDL_SCANCODE_Q, KMOD_LALT, "@");
    // On a German layout AltGr+Q types @: a typed key, which goes up as it went down.
    PressTyping(SDLK_q, SDL_SCANCODE_Q, KMOD_RALT, "@");
    Release(SDLK_q, SDL_SCANCODE_Q, KMOD_RALT);
    std::vector<PlatformMessage> messages = DeliverPending();
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[0].type, kMsgSysCommand);
    EXPECT_EQ(messages[1].type, kMsgKeyDown);
    EXPECT_EQ(messages[1].wParam, 'Q');
    EXPECT_EQ(messages[2].type, kMsgKeyUp);
    EXPECT_EQ(messages[2].wParam, 'Q');
}

// The SDL keyboard's keys in a game on the virtual platform: what each key posts is what the
// level judges.
class SdlKeysInPlay : public LevelFixture {
  protected:
    void StartGame() {
        SkipToMenu();
        Press(kKeyEnter);
        ASSERT_EQ(g_mode, MODE_LEVEL);
    }
    void Strike(int keycode, int scancode) {
        SdlPostKeyEvent(true, false, keycode, scancode, KMOD_NONE);
        SdlPostKeyEvent(false, false, keycode, scancode, KMOD_NONE);
        VirtualRunFor(0);
    }
    void StrikeSideKey() {
        int side = SideKey();
        if (side == kKeyCtrl) Strike(SDLK_LCTRL, SDL_SCANCODE_LCTRL);
        if (side == kKeySpace) Strike(SDLK_SPACE, SDL_SCANCODE_SPACE);
        if (side == kKeyEnter) Strike(SDLK_RETURN, SDL_SCANCODE_RETURN);
    }
    void StrikeAskedLetter() {
        int letter = g_characters[g_charIndex].keyCode - kKeyA;
        Strike(SDLK_a + letter, SDL_SCANCODE_A + letter);
    }
};

TEST_F(SdlKeysInPlay, TheLetterThenHomeThenTheSideIsWrong) {
    StartGame();
    StrikeAskedLetter();
    StrikeSideKey();
    EXPECT_EQ(g_score, kPointsPerCharacter);

    StrikeAskedLetter();
    Strike(SDLK_HOME, SDL_SCANCODE_HOME);
    StrikeSideKey();
    EXPECT_EQ(g_score, kPointsPerCharacter);
    EXPECT_EQ(g_lives, kStartLives - 1);
}
