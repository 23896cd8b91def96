// The game's cues and background loops, synthesised.
#pragma once

#include "tools/pack_audio.h"

Signal KeyClick();      // a crisp click for every typed key
Signal AnswerCue();     // a short rising blip for an answer key
Signal SuccessChime();  // two bright bell notes going up
Signal ErrorBuzz();     // a low, rough buzz
// Background loops: they wrap around without a seam and stay quiet under speech.
Signal MenuLoop();
Signal GameLoop();

struct CueLine {
    const char* file;
    Signal (*make)();
};

extern const CueLine kCues[];
extern const int kCueLines;

constexpr float kCuePeakDb = -3.0f;
constexpr float kLoopPeakDb = -18.0f;
