// The operator's commands on the scores: list the best, remove a forged one, take a backup. Each
// works on the database while the server runs, through a connection of its own: SQLite's locking
// (the server keeps the database in WAL mode) keeps both consistent, so nothing is restarted.
#pragma once

#include <cstdio>
#include <string>

// Each returns the exit status: 0 done, 1 refused (no database, no such entry, a failed write),
// with a message on `out` or `err`.
int ListBestSubmissions(const std::string& db, int count, FILE* out, FILE* err);
int RemoveSubmission(const std::string& db, long long id, FILE* out, FILE* err);
// A consistent copy of the database as it stood when the copy began, written beside `file` and
// renamed over it once whole, so that a backup cut short never takes the place of a good one.
int BackupScores(const std::string& db, const std::string& file, FILE* out, FILE* err);
