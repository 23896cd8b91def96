// The recorded submissions, kept in one SQLite database in WAL mode.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "server/query.h"

constexpr int kTopListSize = 10;

struct TopEntry {
    int place = 0;
    std::string firstName;
    std::string lastName;
    std::string country;
    int32_t score = 0;
};

// Opens (creating when needed) the database and its table and indexes. False with the reason in
// `error` on failure.
bool OpenScoreStore(const std::string& path, std::string* error);
void CloseScoreStore();

// Records one submission, stamped with the current time. False when the write failed.
bool RecordSubmission(const Submission& submission);
// The place (1..10) of the newest submission with exactly these details and score in the
// ranking of all submissions (score highest first, then earliest first); nullopt when there is
// no such submission or it is not among the top ten. The bool is false when the read failed.
bool FindPlace(const Submission& submission, std::optional<int>* place);
// The top ten, best first.
bool ReadTopList(std::vector<TopEntry>* entries);
// How many submissions are recorded.
long long CountSubmissions();
