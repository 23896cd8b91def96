// Placeholder until this module is written: every function does nothing.
#include "online/submit.h"

std::string g_scoreServer{};
std::string g_submitUrl{};
void BuildSubmitUrl(const char* /*firstName*/, const char* /*lastName*/, const char* /*address*/, const char* /*country*/) {  }
int StartScoreSubmission() { return 0; }
int OnSubmitKey(int /*key*/) { return 0; }
void StopSubmitSounds() {  }
void ReleaseSubmitSounds() {  }
int SubmitScore() { return 0; }
int AppendScoreToUrl() { return 0; }
int SendScore() { return 0; }
void FetchTopPlace() {  }
void AnnouncePlace(const char* /*reply*/) {  }
void SayPlace(int /*n*/) {  }
void SayNotEnough() {  }
