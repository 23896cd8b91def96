// Sending the score from the menu as a player does, for the tests of the game's submission with a
// scripted server and with the real one.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "audio/bank_slots.h"
#include "game/menu.h"
#include "game/state.h"
#include "platform/key_codes.h"
#include "platform/virtual/virtual.h"

inline const char kSending[] = "game\\sending_score.vgz";
inline const char kMadeIt[] = "game\\made_it.vgz";
inline const char kSendScoreItem[] = "menu\\send_score.vgz";

// What the player hears after Y: the sending cue, the place when one is spoken, the menu item.
inline std::vector<std::string> Heard(int place = 0) {
    if (place == 0) return {kSending, kSendScoreItem};
    return {kSending, kMadeIt, "score\\" + std::to_string(place) + ".vgz", kSendScoreItem};
}

inline void Press(int key) {
    VirtualPress(key);
    VirtualRunFor(0);
}

// Chooses Send score in the menu with this score; the prompt is playing, the record is cleared.
inline void ChooseSendScore(int score) {
    g_score = score;
    g_menuIndex = kMenuSlotSendScore;
    Press(kKeyEnter);
    ASSERT_EQ(g_mode, MODE_SEND_SCORE);
    VirtualClearCalls();
}
