// The real keyboard: which Windows key code each physical key gives the game, and which key
// presses never reach it.
#include "platform/real/real_keys.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <vector>

#include "platform/message_loop.h"

namespace {

struct KeyCase {
    const char* name;
    int keycode;
    int scancode;
    int virtualKey;
};

const KeyCase kKeyList[] = {
    {"0", SDLK_0, SDL_SCANCODE_0, 48},
    {"1", SDLK_1, SDL_SCANCODE_1, 49},
    {"2", SDLK_2, SDL_SCANCODE_2, 50},
    {"3", SDLK_3, SDL_SCANCODE_3, 51},
    {"4", SDLK_4, SDL_SCANCODE_4, 52},
    {"5", SDLK_5, SDL_SCANCODE_5, 53},
    {"6", SDLK_6, SDL_SCANCODE_6, 54},
    {"7", SDLK_7, SDL_SCANCODE_7, 55},
    {"8", SDLK_8, SDL_SCANCODE_8, 56},
    {"9", SDLK_9, SDL_SCANCODE_9, 57},
    {"keypad 0", SDLK_KP_0, SDL_SCANCODE_KP_0, 96},
    {"keypad 1", SDLK_KP_1, SDL_SCANCODE_KP_1, 97},
    {"keypad 2", SDLK_KP_2, SDL_SCANCODE_KP_2, 98},
    {"keypad 3", SDLK_KP_3, SDL_SCANCODE_KP_3, 99},
    {"keypad 4", SDLK_KP_4, SDL_SCANCODE_KP_4, 100},
    {"keypad 5", SDLK_KP_5, SDL_SCANCODE_KP_5, 101},
    {"keypad 6", SDLK_KP_6, SDL_SCANCODE_KP_6, 102},
    {"keypad 7", SDLK_KP_7, SDL_SCANCODE_KP_7, 103},
    {"keypad 8", SDLK_KP_8, SDL_SCANCODE_KP_8, 104},
    {"keypad 9", SDLK_KP_9, SDL_SCANCODE_KP_9, 105},
    {"Enter", SDLK_RETURN, SDL_SCANCODE_RETURN, 13},
    {"keypad Enter", SDLK_KP_ENTER, SDL_SCANCODE_KP_ENTER, 13},
    {"left Ctrl", SDLK_LCTRL, SDL_SCANCODE_LCTRL, 17},
    {"right Ctrl", SDLK_RCTRL, SDL_SCANCODE_RCTRL, 17},
    {"left Shift", SDLK_LSHIFT, SDL_SCANCODE_LSHIFT, 16},
    {"right Shift", SDLK_RSHIFT, SDL_SCANCODE_RSHIFT, 16},
    {"Esc", SDLK_ESCAPE, SDL_SCANCODE_ESCAPE, 27},
    {"Space", SDLK_SPACE, SDL_SCANCODE_SPACE, 32},
    {"Tab", SDLK_TAB, SDL_SCANCODE_TAB, 9},
    {"Backspace", SDLK_BACKSPACE, SDL_SCANCODE_BACKSPACE, 8},
    {"Left", SDLK_LEFT, SDL_SCANCODE_LEFT, 37},
    {"Up", SDLK_UP, SDL_SCANCODE_UP, 38},
    {"Right", SDLK_RIGHT, SDL_SCANCODE_RIGHT, 39},
    {"Down", SDLK_DOWN, SDL_SCANCODE_DOWN, 40},
    {"F1", SDLK_F1, SDL_SCANCODE_F1, 112},
    {"F2", SDLK_F2, SDL_SCANCODE_F2, 113},
    {"F3", SDLK_F3, SDL_SCANCODE_F3, 114},
    {"F4", SDLK_F4, SDL_SCANCODE_F4, 115},
    {"F5", SDLK_F5, SDL_SCANCODE_F5, 116},
    {"F6", SDLK_F6, SDL_SCANCODE_F6, 117},
    {"F7", SDLK_F7, SDL_SCANCODE_F7, 118},
    {"F8", SDLK_F8, SDL_SCANCODE_F8, 119},
    {"F9", SDLK_F9, SDL_SCANCODE_F9, 120},
    {"F10", SDLK_F10, SDL_SCANCODE_F10, 121},
    {"F11", SDLK_F11, SDL_SCANCODE_F11, 122},
    {"F12", SDLK_F12, SDL_SCANCODE_F12, 123},
    {";", SDLK_SEMICOLON, SDL_SCANCODE_SEMICOLON, 186},
    {"=", SDLK_EQUALS, SDL_SCANCODE_EQUALS, 187},
    {",", SDLK_COMMA, SDL_SCANCODE_COMMA, 188},
    {"-", SDLK_MINUS, SDL_SCANCODE_MINUS, 189},
    {".", SDLK_PERIOD, SDL_SCANCODE_PERIOD, 190},
    {"/", SDLK_SLASH, SDL_SCANCODE_SLASH, 191},
    {"`", SDLK_BACKQUOTE, SDL_SCANCODE_GRAVE, 192},
    {"[", SDLK_LEFTBRACKET, SDL_SCANCODE_LEFTBRACKET, 219},
    {"\\", SDLK_BACKSLASH, SDL_SCANCODE_BACKSLASH, 220},
    {"]", SDLK_RIGHTBRACKET, SDL_SCANCODE_RIGHTBRACKET, 221},
    {"'", SDLK_QUOTE, SDL_SCANCODE_APOSTROPHE, 222},
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
    RealPostKeyEvent(true, false, keycode, scancode, modifiers);
}
void Repeat(int keycode, int scancode, int modifiers = KMOD_NONE) {
    RealPostKeyEvent(true, true, keycode, scancode, modifiers);
}
void Release(int keycode, int scancode, int modifiers = KMOD_NONE) {
    RealPostKeyEvent(false, false, keycode, scancode, modifiers);
}

}  // namespace

TEST(RealKeys, EveryKeyTheGameKnowsArrivesWithItsWindowsCode) {
    for (const KeyCase& key : kKeyList) {
        EXPECT_EQ(RealVirtualKey(key.keycode, key.scancode), key.virtualKey) << key.name;
    }
    for (int letter = 0; letter < 26; ++letter) {
        EXPECT_EQ(RealVirtualKey(SDLK_a + letter, SDL_SCANCODE_A + letter), 'A' + letter)
            << char('A' + letter);
    }
}

TEST(RealKeys, LettersFollowTheLayoutAndPunctuationFollowsThePosition) {
    // On a French layout the key left of Z types A, and the key right of L types M.
    EXPECT_EQ(RealVirtualKey(SDLK_a, SDL_SCANCODE_Q), 'A');
    EXPECT_EQ(RealVirtualKey(SDLK_m, SDL_SCANCODE_SEMICOLON), 'M');
    // The digit row gives digits even where the layout puts symbols on it.
    EXPECT_EQ(RealVirtualKey('&', SDL_SCANCODE_1), '1');
    // A German layout's key right of L types a letter of its own: still the US ; key.
    EXPECT_EQ(RealVirtualKey(0xF6, SDL_SCANCODE_SEMICOLON), 186);
    // A Cyrillic layout still types letters, by position.
    EXPECT_EQ(RealVirtualKey(0x0444, SDL_SCANCODE_A), 'A');
}

TEST(RealKeys, KeysOutsideTheListNeverReachTheGame) {
    EXPECT_EQ(RealVirtualKey(SDLK_LALT, SDL_SCANCODE_LALT), 0);
    EXPECT_EQ(RealVirtualKey(SDLK_CAPSLOCK, SDL_SCANCODE_CAPSLOCK), 0);
    EXPECT_EQ(RealVirtualKey(SDLK_F13, SDL_SCANCODE_F13), 0);
    EXPECT_EQ(RealVirtualKey(SDLK_HOME, SDL_SCANCODE_HOME), 0);

    OpenWindow();
    Press(SDLK_CAPSLOCK, SDL_SCANCODE_CAPSLOCK);
    Release(SDLK_CAPSLOCK, SDL_SCANCODE_CAPSLOCK);
    EXPECT_TRUE(DeliverPending().empty());
}

TEST(RealKeys, HoldingAKeyRepeatsItsPressAndReleasesItOnce) {
    OpenWindow();
    Press(SDLK_b, SDL_SCANCODE_B);
    Repeat(SDLK_b, SDL_SCANCODE_B);
    Repeat(SDLK_b, SDL_SCANCODE_B);
    Release(SDLK_b, SDL_SCANCODE_B);
    std::vector<PlatformMessage> messages = DeliverPending();
    ASSERT_EQ(messages.size(), 4u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(messages[i].type, kMsgKeyDown);
        EXPECT_EQ(messages[i].wParam, 'B');
    }
    EXPECT_EQ(messages[3].type, kMsgKeyUp);
    EXPECT_EQ(messages[3].wParam, 'B');
}

TEST(RealKeys, AltCombinationsAreSystemKeysNotGameKeys) {
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

TEST(RealKeys, ShiftHeldAtThePressTravelsWithTheKey) {
    OpenWindow();
    Press(SDLK_LSHIFT, SDL_SCANCODE_LSHIFT, KMOD_LSHIFT);
    Press(SDLK_SLASH, SDL_SCANCODE_SLASH, KMOD_LSHIFT);
    Release(SDLK_LSHIFT, SDL_SCANCODE_LSHIFT);
    Press(SDLK_SLASH, SDL_SCANCODE_SLASH);
    std::vector<PlatformMessage> messages = DeliverPending();
    ASSERT_EQ(messages.size(), 4u);
    EXPECT_EQ(messages[1].wParam, 191);
    EXPECT_EQ(messages[1].flags & kMsgFlagShift, kMsgFlagShift);
    EXPECT_EQ(messages[3].wParam, 191);
    EXPECT_EQ(messages[3].flags & kMsgFlagShift, 0);
}
