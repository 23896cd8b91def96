// The SDL keyboard: which Windows key code each physical key gives the game, and which key
// presses never reach it.
#include "platform/sdl/sdl_keys.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <vector>

#include "game/state.h"
#include "platform/core/message_loop.h"
#include "platform/game_symbols.h"
#include "platform/key_codes.h"
#include "tests/game/level_play.h"

namespace {

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

void Press(int keycode, int scancode, int modifiers = KMOD_NONE, const char* text = nullptr) {
    SdlPostKeyEvent(true, false, keycode, scancode, modifiers, text);
}
void Release(int keycode, int scancode, int modifiers = KMOD_NONE) {
    SdlPostKeyEvent(false, false, keycode, scancode, modifiers);
}

}  // namespace

// Catches a key of the game left out of the table of places, or a place given a code twice.
TEST(SdlKeys, EveryKeyTheGameUsesSitsOnOneKey) {
    std::map<int, int> keysWithCode;
    for (int scancode = SDL_SCANCODE_UNKNOWN; scancode < SDL_NUM_SCANCODES; ++scancode) {
        // A key known by its place: its keycode types no character.
        ++keysWithCode[SdlVirtualKey(SDL_SCANCODE_TO_KEYCODE(scancode), scancode)];
    }
    std::vector<int> used = {kKeyEnter,    kKeySpace,     kKeyCtrl,  kKeyShift, kKeyAlt,
                             kKeyEscape,   kKeyTab,       kKeyLeft,  kKeyRight, kKeyUp,
                             kKeyDown,     kKeyBackspace, kKeyHome,  kKeyEnd,   kKeyPageUp,
                             kKeyPageDown, kKeyInsert,    kKeyDelete};
    for (int n = 0; n < 10; ++n) used.insert(used.end(), {kKey0 + n, kKeyNumpad0 + n});
    for (int n = 0; n < 24; ++n) used.push_back(kKeyF1 + n);
    for (const GameSymbol& symbol : kGameSymbols) used.push_back(symbol.keyCode % kShiftedOnUs);
    for (int code : used) EXPECT_GT(keysWithCode[code], 0) << "no key gives " << code;
    // Only the keys a keyboard has twice (and the ISO keyboard's backslash) share a code.
    const std::set<int> twice = {kKeyEnter, kKeyCtrl, kKeyShift, kKeyAlt, kKeyOem5};
    keysWithCode.erase(kKeyUnknown);
    for (const auto& [code, keys] : keysWithCode) {
        EXPECT_EQ(keys, twice.count(code) ? 2 : 1) << "keys giving " << code;
    }
}

TEST(SdlKeys, AKeysOwnCodeFollowsTheLayoutForLettersAndThePositionForTheRest) {
    // On a French layout the key right of L types M.
    EXPECT_EQ(SdlVirtualKey(SDLK_m, SDL_SCANCODE_SEMICOLON), 'M');
    // The digit row gives digits even where the layout puts symbols on it.
    EXPECT_EQ(SdlVirtualKey('&', SDL_SCANCODE_1), kKey0 + 1);
    // A German layout's key right of L types a letter of its own: still the US ; key.
    EXPECT_EQ(SdlVirtualKey(0xF6, SDL_SCANCODE_SEMICOLON), kKeyOem1);
    // A Cyrillic layout still types letters, by position.
    EXPECT_EQ(SdlVirtualKey(0x0444, SDL_SCANCODE_A), kKeyA);
    for (int letter = 0; letter < 26; ++letter) {
        EXPECT_EQ(SdlVirtualKey(SDLK_a + letter, SDL_SCANCODE_A + (letter + 1) % 26),
                  kKeyA + letter);
    }
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
    // A game character typed with Shift counts as the character, not its key.
    {"US :", SDLK_SEMICOLON, SDL_SCANCODE_SEMICOLON, KMOD_LSHIFT, ":", kKeyColon},
    // A character that is none of the game's counts as its key.
    {"US !", SDLK_1, SDL_SCANCODE_1, KMOD_LSHIFT, "!", kKey0 + 1},
    // The keypad keeps codes of its own, though it types the game's digits and signs.
    {"US keypad +", SDLK_KP_PLUS, SDL_SCANCODE_KP_PLUS, KMOD_NONE, "+", kKeyAdd},
    // French (AZERTY): a key where the US layout has a letter types a symbol of the game.
    {"French ,", SDLK_COMMA, SDL_SCANCODE_M, KMOD_NONE, ",", kKeyOemComma},
    {"French AltGr \\", SDLK_8, SDL_SCANCODE_8, KMOD_RALT, "\\", kKeyOem5},
    // A dead key before it: the key typed nothing, and counts as what it types by itself.
    {"French : after a dead key", SDLK_COLON, SDL_SCANCODE_PERIOD, KMOD_NONE, "", kKeyColon},
};

TEST(SdlKeys, TheCharacterTheLayoutTypedIsWhatCounts) {
    for (const TypedCase& key : kTypedCases) {
        OpenWindow();
        Press(key.keycode, key.scancode, key.modifiers, key.text);
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

// Catches SDL's modifier state read wrong: Shift lost, Alt taken for AltGr or the other way.
TEST(SdlKeys, ModifiersMeanWhatTheyDoOnTheLayout) {
    EXPECT_EQ(SdlVirtualKey(SDLK_UNKNOWN, SDL_SCANCODE_UNKNOWN), kKeyUnknown);
    OpenWindow();
    Press(SDLK_MUTE, SDL_SCANCODE_MUTE);  // still reaches the game
    Press(SDLK_SLASH, SDL_SCANCODE_SLASH, KMOD_LSHIFT, "?");
    // Alt itself and Alt with a key are system keys.
    Press(SDLK_LALT, SDL_SCANCODE_LALT, KMOD_LALT);
    Press(SDLK_b, SDL_SCANCODE_B, KMOD_LALT, "b");
    // On a US layout right Alt is an Alt key: right Alt+A is the About box.
    Press(SDLK_RALT, SDL_SCANCODE_RALT, KMOD_RALT, "");
    Press(SDLK_a, SDL_SCANCODE_A, KMOD_RALT, "a");
    Release(SDLK_a, SDL_SCANCODE_A, KMOD_RALT);
    // Left Alt is always Alt, whatever the key types.
    Press(SDLK_q, SDL_SCANCODE_Q, KMOD_LALT, "@");
    // On a German layout AltGr+Q types @: a typed key, which goes up as it went down.
    Press(SDLK_q, SDL_SCANCODE_Q, KMOD_RALT, "@");
    Release(SDLK_q, SDL_SCANCODE_Q, KMOD_RALT);
    Press(SDLK_F4, SDL_SCANCODE_F4, KMOD_LALT);
    std::vector<PlatformMessage> messages = DeliverPending();
    ASSERT_EQ(messages.size(), 6u);
    EXPECT_EQ(messages[0].wParam, kKeyUnknown);
    EXPECT_EQ(messages[1].wParam, kKeyOem2);
    EXPECT_EQ(messages[1].flags, kMsgFlagShift);
    EXPECT_EQ(messages[2].type, kMsgSysCommand);
    EXPECT_EQ(messages[3].type, kMsgKeyDown);
    EXPECT_EQ(messages[3].wParam, 'Q');
    EXPECT_EQ(messages[4].type, kMsgKeyUp);
    EXPECT_EQ(messages[4].wParam, 'Q');
    EXPECT_EQ(messages[5].type, kMsgClose);
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
