// The recorded submissions, kept in one SQLite database in WAL mode. One connection writes (the
// recorder's thread); every other thread reads through a connection of its own, so a reader
// never waits for a write to reach the disk.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "server/query.h"

constexpr int kTopListSize = 10;
// How long after recording a score its place may be asked for, from the address that sent it.
// The game asks six seconds after sending.
constexpr int64_t kPlaceWindowMs = 120000;

struct TopEntry {
    int place = 0;
    std::string firstName;
    std::string lastName;
    std::string country;
    int32_t score = 0;
};

// One submission to record, with the address it came from.
struct NewSubmission {
    Submission submission;
    std::string client;
};

// Opens (creating when needed) the database, its table and indexes. False with the reason in
// `error` on failure.
bool OpenScoreStore(const std::string& path, std::string* error);
void CloseScoreStore();

// Records the submissions in one transaction, each stamped with the current time; true once
// they are on the disk. One thread at a time.
bool RecordSubmissions(const std::vector<NewSubmission>& submissions);
// Clears the address of every submission recorded before `beforeMs` (milliseconds since the
// epoch) and keeps only the day of its time (UTC): the address and the exact time are kept only
// as long as a place may be asked for.
bool ForgetClientAddresses(int64_t beforeMs);

// The place (1..10) of the newest submission with exactly these details and score, sent from
// `client` at or after `sinceMs`, in the ranking of all submissions (score highest first, then
// earliest first); nullopt when there is no such submission or it is not among the top ten.
// False when the read failed.
bool FindPlace(const Submission& submission, const std::string& client, int64_t sinceMs,
               std::optional<int>* place);
// The top ten, best first.
bool ReadTopList(std::vector<TopEntry>* entries);
// How many submissions are recorded; -1 when the read failed.
long long CountSubmissions();

int64_t NowMs();
