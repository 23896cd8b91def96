// Runs the real tapdash-scores executable for a test, on a free loopback port.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

struct ScoreServerProcess {
    pid_t pid = -1;
    int port = 0;
    int outputFd = -1;
    std::string dbPath;
    std::string logPath;  // its standard error: the access log
};

// Starts the server on the database file, on 127.0.0.1 with its default limits and any
// `options` after them (a later --bind wins), and waits for it to report its port. Throws when it
// does not start.
ScoreServerProcess StartScoreServer(const std::string& dbPath,
                                    const std::vector<std::string>& options = {});
// For tests that send more from 127.0.0.1 than one player would.
extern const std::vector<std::string> kNoRateLimits;
// Sends the signal, waits for the process and returns its exit status (-1 when it did not exit
// by itself), with what it printed in `output`.
int StopScoreServer(ScoreServerProcess& server, int signalNumber, std::string* output = nullptr);
// "127.0.0.1:port".
std::string ScoreServerHost(const ScoreServerProcess& server);
// The rows `select` reads from the database at `dbPath`, each column as text; throws when the
// database cannot be read.
std::vector<std::vector<std::string>> ReadRows(const std::string& dbPath,
                                               const std::string& select);
// The number of rows in the submissions table, or of those `where` picks (" WHERE ...").
long long StoredCount(const std::string& dbPath, const std::string& where = "");
