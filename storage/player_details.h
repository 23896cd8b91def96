// config.dat: the player's details that go with a submitted score.
#pragma once

constexpr int kMaxDetailsFileBytes = 10000;
constexpr int kMaxDetailsTextChars = 999;
constexpr int kMaxDetailsFieldChars = 99;

// 1 when config.dat was read and g_submitUrl holds the first request's URL up to "score=".
int ReadPlayerDetails();
