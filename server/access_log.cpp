#include "server/access_log.h"

#include <unistd.h>

#include <cstdio>
#include <ctime>

static void AppendEscaped(const std::string& text, size_t limit, std::string* out) {
    if (text.empty()) {
        *out += '-';
        return;
    }
    for (size_t i = 0; i < text.size() && i < limit; ++i) {
        auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 || c >= 0x7F || c == '"' || c == '\\') {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            *out += escaped;
        } else {
            out->push_back(static_cast<char>(c));
        }
    }
}

std::string FormatAccessLogLine(const AccessLogEntry& entry, int64_t unixSeconds) {
    std::time_t seconds = static_cast<std::time_t>(unixSeconds);
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char when[40];
    std::strftime(when, sizeof when, "[%d/%b/%Y:%H:%M:%S +0000]", &utc);

    std::string line;
    AppendEscaped(entry.client, 64, &line);
    line += " - - ";
    line += when;
    line += " \"";
    if (entry.method.empty()) {
        line += '-';
    } else {
        AppendEscaped(entry.method, 16, &line);
        line += ' ';
        AppendEscaped(entry.target.substr(0, entry.target.find('?')), 512, &line);
        line += ' ';
        AppendEscaped(entry.version, 16, &line);
    }
    line += "\" ";
    line += entry.status ? std::to_string(entry.status) : "-";
    line += ' ';
    line += entry.status ? std::to_string(entry.bytes) : "-";
    line += " \"";
    AppendEscaped(entry.referer, 256, &line);
    line += "\" \"";
    AppendEscaped(entry.userAgent, 256, &line);
    line += "\"\n";
    return line;
}

void WriteAccessLog(const AccessLogEntry& entry) {
    std::string line = FormatAccessLogLine(entry, static_cast<int64_t>(std::time(nullptr)));
    // One write a line, so lines from different threads never interleave.
    ssize_t written = write(STDERR_FILENO, line.data(), line.size());
    (void)written;
}
