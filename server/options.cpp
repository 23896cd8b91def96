#include "server/options.h"

#include <cstdlib>
#include <string_view>

const char kServerUsage[] =
    "usage: tapdash-scores [--port N] [--bind ADDRESS] [--db FILE]\n"
    "  --port N        TCP port to listen on (default 8080; 0 picks a free one)\n"
    "  --bind ADDRESS  address to listen on (default 127.0.0.1)\n"
    "  --db FILE       SQLite database file (default scores.db in the working folder)\n";

static bool ParsePort(const std::string& text, int* port) {
    if (text.empty() || text.size() > 5) return false;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
    }
    int value = std::atoi(text.c_str());
    if (value > 65535) return false;
    *port = value;
    return true;
}

bool ParseServerOptions(int argc, const char* const* argv, ServerOptions* options,
                        std::string* error) {
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        std::string name(arg);
        std::string value;
        bool hasValue = false;
        if (size_t eq = arg.find('='); eq != std::string_view::npos) {
            name = std::string(arg.substr(0, eq));
            value = std::string(arg.substr(eq + 1));
            hasValue = true;
        }
        if (name != "--port" && name != "--bind" && name != "--db") {
            *error = "unknown option " + name;
            return false;
        }
        if (!hasValue) {
            if (i + 1 >= argc) {
                *error = name + " needs a value";
                return false;
            }
            value = argv[++i];
        }
        if (name == "--port") {
            if (!ParsePort(value, &options->port)) {
                *error = "--port needs a number from 0 to 65535";
                return false;
            }
        } else if (value.empty()) {
            *error = name + " needs a value";
            return false;
        } else if (name == "--bind") {
            options->bind = value;
        } else {
            options->db = value;
        }
    }
    return true;
}
