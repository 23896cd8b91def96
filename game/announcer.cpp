// Placeholder until this module is written: every function does nothing.
#include "game/announcer.h"

int g_speech[kSpeechLength]{};
int g_speechPos{};
int g_topTenIndex{};
void SayScore(SpeechKind /*kind*/) {  }
void BuildScoreSpeech(SpeechKind /*kind*/) {  }
void AnnouncerTick() {  }
void AnnouncerKeyDown(int /*key*/) {  }
void StopScoreSounds() {  }
