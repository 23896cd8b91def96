// The score server's command line.
#pragma once

#include <string>

struct ServerOptions {
    int port = 8080;  // 0 picks a free port
    std::string bind = "127.0.0.1";
    std::string db = "scores.db";
};

// Reads --port, --bind and --db (as "--port 8080" or "--port=8080"). Returns false with a
// message in `error` for an unknown option, a missing value or a port outside 0..65535.
bool ParseServerOptions(int argc, const char* const* argv, ServerOptions* options,
                        std::string* error);

extern const char kServerUsage[];
