#include "server/options.h"

#include <cstdlib>
#include <string_view>

const char kServerUsage[] =
    "usage: tapdash-scores [--port N] [--bind ADDRESS] [--db FILE] [--rate-limit on|off]\n"
    "                      [--trust-proxy on|off] [--connections-per-address N] [--web FOLDER]\n"
    "  --port N        TCP port to listen on (default 8080; 0 picks a free one)\n"
    "  --bind ADDRESS  address to listen on (default 127.0.0.1)\n"
    "  --db FILE       SQLite database file (default scores.db in the working folder)\n"
    "  --rate-limit on|off\n"
    "                  limit the requests of each client address (default on)\n"
    "  --trust-proxy on|off\n"
    "                  take the client address from X-Real-IP or X-Forwarded-For, set by a\n"
    "                  proxy in front (default off)\n"
    "  --connections-per-address N\n"
    "                  open connections allowed from one address (default 16; 0: no limit)\n"
    "  --web FOLDER    serve the browser build in FOLDER under /tapdash/play/\n"
    "On the database of --db, while the server runs, instead of serving:\n"
    "  --list [N]      the N best entries (default 10) with their ids\n"
    "  --remove ID     removes the entry with that id from the top ten and the places\n"
    "  --backup FILE   writes a consistent copy of the database to FILE\n"
    "tapdash-scores --version prints the version and nothing else.\n";

static bool ParseNumber(const std::string& text, int maximum, int* number) {
    if (text.empty() || text.size() > 6) return false;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
    }
    int value = std::atoi(text.c_str());
    if (value > maximum) return false;
    *number = value;
    return true;
}

static bool ParseSwitch(const std::string& text, bool* on) {
    if (text != "on" && text != "off") return false;
    *on = text == "on";
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
        if (name == "--list" || name == "--remove" || name == "--backup") {
            if (!options->command.empty()) {
                *error = "only one of --list, --remove and --backup at a time";
                return false;
            }
            options->command = name.substr(2);
            // The count of --list is optional: a number right after it.
            bool next = i + 1 < argc && argv[i + 1][0] != '-';
            if (!hasValue && (name != "--list" || next)) {
                if (!next) {
                    *error = name + " needs a value";
                    return false;
                }
                value = argv[++i];
                hasValue = true;
            }
            int number = 0;
            if (name == "--list") {
                if (hasValue && (!ParseNumber(value, 100000, &number) || number == 0)) {
                    *error = "--list needs a number from 1 to 100000";
                    return false;
                }
                if (hasValue) options->listCount = number;
            } else if (name == "--remove") {
                char* end = nullptr;
                options->removeId = std::strtoll(value.c_str(), &end, 10);
                if (value.empty() || *end || options->removeId <= 0) {
                    *error = "--remove needs the id of an entry, as --list shows it";
                    return false;
                }
            } else if (value.empty()) {
                *error = "--backup needs a file";
                return false;
            } else {
                options->backupFile = value;
            }
            continue;
        }
        if (name != "--port" && name != "--bind" && name != "--db" && name != "--rate-limit" &&
            name != "--trust-proxy" && name != "--connections-per-address" && name != "--web") {
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
        bool ok = !value.empty();
        if (name == "--port") {
            ok = ParseNumber(value, 65535, &options->port);
            if (!ok) *error = "--port needs a number from 0 to 65535";
        } else if (name == "--connections-per-address") {
            ok = ParseNumber(value, 100000, &options->connectionsPerAddress);
            if (!ok) *error = name + " needs a number from 0 to 100000";
        } else if (name == "--rate-limit" || name == "--trust-proxy") {
            ok = ParseSwitch(value,
                             name == "--rate-limit" ? &options->rateLimits : &options->trustProxy);
            if (!ok) *error = name + " needs on or off";
        } else if (!ok) {
            *error = name + " needs a value";
        } else if (name == "--bind") {
            options->bind = value;
        } else if (name == "--web") {
            options->web = value;
        } else {
            options->db = value;
        }
        if (!ok) return false;
    }
    return true;
}
