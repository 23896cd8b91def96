#pragma once

constexpr int kSpeakerTestGapMs = 1000;

int RunSpeakerTest();
