// The game state shared by the modes, and the mode numbers.
#pragma once

enum {
    MODE_INTRO = 0,
    MODE_MENU = 1,
    MODE_PRACTICE = 2,
    MODE_SPEAKER_TEST = 4,
    MODE_LEARN = 5,
    MODE_FINAL_SCORE = 6,
    MODE_TOP_TEN = 7,
    MODE_SEND_SCORE = 8,
    MODE_GAME_OVER = 10,
    MODE_LEVEL = 100,
};

extern int g_mode;
extern int g_tickEnabled;
extern int g_score;
