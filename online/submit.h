// Sending the score to the score server and speaking the place it answers.
#pragma once

#include <string>

constexpr int kMaxReplyBytes = 100000;
constexpr int kPlaceQueryDelayMs = 6000;

// Host and optional port of the score server ("localhost:8080"), spoken to over https; or
// "http://host[:port]" for a server on the player's own machine or network. The build's
// TAPDASH_SCORE_SERVER, or the environment's of that name when the game starts.
extern std::string g_scoreServer;
// The request URL: the first request's, then the second's.
extern std::string g_submitUrl;

// 1 when config.dat was read and g_submitUrl holds the first request's URL up to "score=".
// 0, g_submitUrl unchanged, when config.dat is missing or refused (ReadPlayerDetailsFile).
int ReadPlayerDetails();
// Writes the first request's URL up to and including "score=" into g_submitUrl, each field
// percent-encoded.
void BuildSubmitUrl(const char* firstName, const char* lastName, const char* address,
                    const char* country);

// The scheme, host and port the requests go to: "https://" and the setting, or the setting as it
// stands where it begins with "http://" or "https://" (in any case).
std::string ScoreServerOrigin(const std::string& setting);
// Percent-encodes one query value: letters, digits and - . _ ~ stay, every other byte becomes
// %XX with capital hex digits.
std::string PercentEncode(const std::string& value);
// The place request's URL: the score request's with "top1.php" replaced in the path only.
std::string PlaceQueryUrl(const std::string& scoreUrl);

int StartScoreSubmission();
void StopSubmitSounds();
void ReleaseSubmitSounds();
// Sends `score` with the player's details and speaks the place the server gives it.
int SubmitScore(int score);
int AppendScoreToUrl(int score);
int SendScore();
void FetchTopPlace();
void AnnouncePlace(const char* reply);
void SayPlace(int n);
void SayNotEnough();
