#include "tests/server/score_server_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>
#include <thread>

static std::string ReadAvailable(int fd, int timeoutMs) {
    std::string text;
    pollfd poller{fd, POLLIN, 0};
    while (poll(&poller, 1, timeoutMs) > 0) {
        char buffer[512];
        ssize_t got = read(fd, buffer, sizeof buffer);
        if (got <= 0) break;
        text.append(buffer, static_cast<size_t>(got));
        if (text.find('\n') != std::string::npos) break;
    }
    return text;
}

const std::vector<std::string> kNoRateLimits = {"--rate-limit", "off"};

ScoreServerProcess StartScoreServer(const std::string& dbPath,
                                    const std::vector<std::string>& options) {
    std::vector<std::string> args = {TAPDASH_SCORES_EXE, "--port", "0",   "--bind",
                                     "127.0.0.1",        "--db",   dbPath};
    args.insert(args.end(), options.begin(), options.end());
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    std::string logPath = dbPath + ".log";

    int pipeFds[2];
    if (pipe(pipeFds) != 0) throw std::runtime_error("pipe failed");
    pid_t pid = fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        dup2(pipeFds[1], STDOUT_FILENO);
        int log = open(logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        if (log >= 0) dup2(log, STDERR_FILENO);
        close(pipeFds[0]);
        close(pipeFds[1]);
        execv(TAPDASH_SCORES_EXE, argv.data());
        _exit(127);
    }
    close(pipeFds[1]);

    ScoreServerProcess server;
    server.pid = pid;
    server.outputFd = pipeFds[0];
    server.dbPath = dbPath;
    server.logPath = logPath;
    std::string banner = ReadAvailable(server.outputFd, 20000);
    // "listening on http://ADDRESS:PORT/tapdash/", the address in brackets when IPv6.
    size_t path = banner.find("/tapdash/");
    size_t at = path == std::string::npos ? path : banner.rfind(':', path);
    if (banner.find("listening on http://") == std::string::npos || at == std::string::npos) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        close(server.outputFd);
        throw std::runtime_error("the score server did not start: " + banner);
    }
    server.port = std::stoi(banner.substr(at + 1));
    return server;
}

int StopScoreServer(ScoreServerProcess& server, int signalNumber, std::string* output) {
    if (server.pid < 0) return -1;
    kill(server.pid, signalNumber);
    int status = 0;
    // A clean shutdown takes well under a second; ten are allowed before giving up.
    pid_t done = 0;
    for (int i = 0; i < 1000 && done == 0; ++i) {
        done = waitpid(server.pid, &status, WNOHANG);
        if (done == 0) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (done == 0) {
        kill(server.pid, SIGKILL);
        waitpid(server.pid, &status, 0);
    }
    std::string rest = ReadAvailable(server.outputFd, 100);
    if (output) *output = rest;
    close(server.outputFd);
    server.pid = -1;
    server.outputFd = -1;
    return done != 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string ScoreServerHost(const ScoreServerProcess& server) {
    return "127.0.0.1:" + std::to_string(server.port);
}

std::vector<std::vector<std::string>> ReadRows(const std::string& dbPath,
                                               const std::string& select) {
    sqlite3* db = nullptr;
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_open_v2(dbPath.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK ||
        sqlite3_prepare_v2(db, select.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        throw std::runtime_error("cannot read " + dbPath + ": " + select);
    }
    std::vector<std::vector<std::string>> rows;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        rows.emplace_back();
        for (int column = 0; column < sqlite3_column_count(statement); ++column) {
            rows.back().emplace_back(
                reinterpret_cast<const char*>(sqlite3_column_text(statement, column)),
                static_cast<size_t>(sqlite3_column_bytes(statement, column)));
        }
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return rows;
}

long long StoredCount(const std::string& dbPath, const std::string& where) {
    return std::stoll(ReadRows(dbPath, "SELECT COUNT(*) FROM submissions" + where).at(0).at(0));
}
