#include <gtest/gtest.h>

#include "game/state.h"

TEST(Smoke, TheGameStartsInTheIntro) { EXPECT_EQ(g_mode, MODE_INTRO); }
