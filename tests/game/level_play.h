// Playing a level on the virtual platform the way a player does: reading what was drawn, typing
// keys and answering, and waiting on the virtual clock.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "audio/banks.h"
#include "game/level.h"
#include "game/state.h"
#include "platform/key_codes.h"
#include "platform/virtual/virtual.h"
#include "tests/support/game_fixture.h"

// Lengths of the pack's sounds: a character lasts 800 ms; the numbers 400 ms.
inline int LevelPackLengthMs(const std::string& name) {
    if (name == "level1\\bgrn.vgz") return 5000;
    if (name == "level1\\key.vgz") return 50;
    if (name == "level1\\blust.vgz") return 100;
    if (name == "level1\\err.vgz" || name == "level1\\success.vgz") return 300;
    if (name.rfind("level1\\", 0) == 0) return 800;
    if (name == "score\\say_final_score.vgz" || name == "score\\score_arrows.vgz") return 700;
    if (name.rfind("score\\", 0) == 0) return 400;
    if (name == "game\\say_game_over.wav") return 1500;
    return 1000;
}

class LevelFixture : public GameFixture {
  protected:
    int SoundLengthMs(const std::string& name) override { return LevelPackLengthMs(name); }
    // From the menu's instructions, Enter: a game is under way.
    void StartGame() {
        SkipToMenu();
        VirtualKeyDown(kKeyEnter);
        VirtualRunFor(0);
        ASSERT_EQ(g_mode, MODE_LEVEL);
    }
};

// The side of a generator draw of 0, 1 or 2.
inline int PanOfDraw(int draw) {
    return draw == 0 ? kPanLeft : draw == 1 ? 0 : kPanRight;
}

// The file of the character being asked, and the key that answers its latest side.
inline std::string CharacterFile() {
    return kLevelSoundFiles[g_characters[g_charIndex].soundSlot];
}
inline int SideKey() {
    return g_charPan < -1 ? kKeyCtrl : g_charPan == 0 ? kKeySpace : kKeyEnter;
}
inline int WrongSideKey() {
    return SideKey() == kKeyCtrl ? kKeyEnter : kKeyCtrl;
}

inline void Press(int key, bool shift = false) {
    VirtualKeyDown(key, shift);
    VirtualRunFor(0);
}

// Types the character, as the platform hands it over (with Shift held where a US layout needs it).
inline void Type(int keyCode) {
    Press(keyCode, keyCode >= kShiftedOnUs);
}

inline void AnswerRightly() {
    Type(g_characters[g_charIndex].keyCode);
    Press(SideKey());
}

inline void ScoreUpTo(int score) {
    while (g_score < score) AnswerRightly();
}

// Runs the virtual clock in ticks until `done` holds; false when `limitMs` passed first.
inline bool RunUntil(const std::function<bool()>& done, int limitMs = 60000) {
    for (int waited = 0; waited < limitMs; waited += 10) {
        if (done()) return true;
        VirtualRunFor(10);
    }
    return done();
}

inline std::vector<VirtualCall> Plays(const std::string& file) {
    return VirtualCallsOf("Play", file);
}
