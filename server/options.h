// The score server's command line.
#pragma once

#include <string>

struct ServerOptions {
    int port = 8080;  // 0 picks a free port
    std::string bind = "127.0.0.1";
    std::string db = "scores.db";
    bool rateLimits = true;
    // Take the client's address from X-Real-IP or X-Forwarded-For, as a proxy in front sets them.
    bool trustProxy = false;
    int connectionsPerAddress = 16;  // 0: no limit
    // An operator's command on the database instead of serving: "list" (the best `listCount`),
    // "remove" (entry `removeId`) or "backup" (to `backupFile`); empty to serve.
    std::string command;
    int listCount = 10;
    long long removeId = 0;
    std::string backupFile;
    std::string web;  // the browser build's folder, served under /tapdash/play/; empty: none
};

// Reads --port, --bind, --db, --rate-limit on|off, --trust-proxy on|off,
// --connections-per-address, --web FOLDER (as "--port 8080" or "--port=8080") and one of the
// commands --list [N], --remove ID and --backup FILE. Returns false with a message
// in `error` for an unknown option, a missing or malformed value.
bool ParseServerOptions(int argc, const char* const* argv, ServerOptions* options,
                        std::string* error);

extern const char kServerUsage[];
