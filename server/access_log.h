// The access log: one line a request on standard error, in the combined log format that web
// servers write and log tools read. The query is left out: it holds the player's address.
#pragma once

#include <cstdint>
#include <string>

struct AccessLogEntry {
    std::string client;
    std::string method;  // empty when the request line never came whole
    std::string target;  // path and query as sent
    std::string version;
    int status = 0;  // 0 when no reply was made
    uint64_t bytes = 0;
    std::string referer;
    std::string userAgent;
};

// The line, with its line feed. Bytes that could forge a line or a field come out as \xHH.
std::string FormatAccessLogLine(const AccessLogEntry& entry, int64_t unixSeconds);
void WriteAccessLog(const AccessLogEntry& entry);
